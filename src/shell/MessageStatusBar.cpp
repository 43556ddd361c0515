#include "shell/MessageStatusBar.h"

#include <QPainter>
#include <QSizeGrip>
#include <QStyleOption>

namespace {

// The margins QStatusBar leaves around its own message.
constexpr int LeftMargin = 6;
constexpr int RightMargin = 12;
constexpr int PanelGap = 2;

} // namespace

MessageStatusBar::MessageStatusBar(QWidget *parent) : QStatusBar(parent)
{
    connect(this, &QStatusBar::messageChanged, this, [this] {
        fitToolTip();
        update();
    });
}

// From the left edge to the first panel that shows beside the message (the
// ordinary panels are hidden while it shows) or the size grip.
QRect MessageStatusBar::messageArea() const
{
    const bool rtl = layoutDirection() == Qt::RightToLeft;
    int left = LeftMargin;
    int right = width() - RightMargin;
    for (const QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isVisible() || child->isWindow())
            continue;
        if (rtl)
            left = std::max(left, child->geometry().right() + 1 + PanelGap);
        else
            right = std::min(right, child->x() - PanelGap);
    }
    return {left, 0, std::max(0, right - left), height()};
}

QString MessageStatusBar::ShownMessage() const
{
    return fontMetrics().elidedText(currentMessage(), Qt::ElideMiddle, messageArea().width());
}

void MessageStatusBar::fitToolTip()
{
    const QString shown = ShownMessage();
    setToolTip(shown == currentMessage() ? QString() : currentMessage());
}

void MessageStatusBar::resizeEvent(QResizeEvent *event)
{
    QStatusBar::resizeEvent(event);
    fitToolTip();
}

void MessageStatusBar::paintEvent(QPaintEvent *event)
{
    if (currentMessage().isEmpty()) {
        QStatusBar::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
    // The panels' frames, as the bar draws them when it has no message.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isVisible() || child->isWindow() || qobject_cast<QSizeGrip *>(child))
            continue;
        QStyleOption frame;
        frame.rect = child->geometry().adjusted(-2, -1, 2, 1);
        frame.palette = palette();
        frame.state = QStyle::State_None;
        style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &frame, &painter, child);
    }
    painter.setPen(palette().windowText().color());
    painter.drawText(messageArea(), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine, ShownMessage());
}
