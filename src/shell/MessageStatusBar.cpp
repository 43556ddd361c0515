#include "shell/MessageStatusBar.h"

#include <QHelpEvent>
#include <QPainter>
#include <QSizeGrip>
#include <QStyleOption>
#include <QToolTip>

namespace {

// The margins QStatusBar leaves around its own message.
constexpr int LeftMargin = 6;
constexpr int RightMargin = 12;
constexpr int PanelGap = 2;

} // namespace

MessageStatusBar::MessageStatusBar(QWidget *parent) : QStatusBar(parent) {}

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

QString MessageStatusBar::CutMessage() const
{
    return ShownMessage() == currentMessage() ? QString() : currentMessage();
}

bool MessageStatusBar::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        // Asked when shown, so it holds whatever the panels have left by then.
        const auto *help = static_cast<QHelpEvent *>(event);
        const QRect area = messageArea();
        if (const QString cut = CutMessage(); !cut.isEmpty() && area.contains(help->pos()))
            QToolTip::showText(help->globalPos(), cut, this, area);
        else
            QToolTip::hideText();
        return true;
    }
    const bool handled = QStatusBar::event(event);
    // A panel grew, shrank, came or went: the message's room moved with it.
    if (event->type() == QEvent::LayoutRequest && !currentMessage().isEmpty())
        update();
    return handled;
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
