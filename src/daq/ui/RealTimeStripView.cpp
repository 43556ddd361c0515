#include "daq/ui/RealTimeStripView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QPixmap lamp(const QColor &fill)
{
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(64, 64, 64));
    painter.setBrush(fill);
    painter.drawEllipse(1, 1, 10, 10);
    return pixmap;
}

void setIfChanged(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

void setColor(QLabel *label, std::optional<quint32> &shown, const std::optional<quint32> &wanted)
{
    if (!wanted || shown == wanted)
        return; // with thresholds off the colour stays as it was
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, RealTimeStripView::ToQColor(*wanted));
    label->setPalette(palette);
    shown = wanted;
}

} // namespace

QColor RealTimeStripView::ToQColor(quint32 value)
{
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

quint32 RealTimeStripView::TextColorOf(const QLabel *label)
{
    const QColor c = label->palette().color(QPalette::WindowText);
    return static_cast<quint32>(c.red()) | (static_cast<quint32>(c.green()) << 8) |
           (static_cast<quint32>(c.blue()) << 16);
}

RealTimeStripView::RealTimeStripView(QWidget *parent) : QWidget(parent)
{
    setObjectName("RealTimeStripView");
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 2, 4, 2);
    outer->setSpacing(2);

    auto *top = new QHBoxLayout;
    top->setSpacing(6);
    outer->addLayout(top);
    const auto pair = [&](const char *caption, const char *name, const char *initial) {
        auto *c = new QLabel(QString::fromUtf8(caption), this);
        c->setObjectName(QStringLiteral("%1Caption").arg(QLatin1String(name)));
        auto *v = new QLabel(QString::fromUtf8(initial), this);
        v->setObjectName(QLatin1String(name));
        QFont bold = v->font();
        bold.setBold(true);
        v->setFont(bold);
        top->addWidget(c);
        top->addWidget(v);
        top->addSpacing(8);
        return v;
    };
    m_status = pair("Acquisition Status:", "lblRTStatus", "No data available.");
    m_status->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Receiving data.")) + 8);
    m_rpm = pair("RPM:", "lblRTRPM", "0000");
    m_tp = pair("TP:", "lblRTTP", "000");
    m_mas = pair("MAS:", "lblRTMAS", "0.0v");
    m_injPW = pair("Injector PW:", "lblRTInjPW", "0.00 ms");
    m_injDuty = pair("Duty Cycle:", "lblRTInjDuty", "0%");
    m_revLimitCaption = new QLabel(QStringLiteral("Rev Limit:"), this);
    m_revLimitCaption->setObjectName("lblRTStagedRevLimiter");
    m_revLimitValue = new QLabel(QStringLiteral("0000"), this);
    m_revLimitValue->setObjectName("lblRevLimitValue");
    QFont bold = m_revLimitValue->font();
    bold.setBold(true);
    m_revLimitValue->setFont(bold);
    top->addWidget(m_revLimitCaption);
    top->addWidget(m_revLimitValue);
    top->addStretch(1);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);
    outer->addLayout(grid);
    const QPixmap onPixmap = lamp(QColor(0, 200, 0));
    const QPixmap offPixmap = lamp(QColor(96, 96, 96));
    for (int i = 0; i < RealTimeStrip::RowCount; ++i) {
        Row &row = m_rows[static_cast<std::size_t>(i)];
        const QString suffix = QStringLiteral("_%1").arg(i);
        row.name = new QLabel(this);
        row.name->setObjectName("lblInput" + suffix);
        row.value = new QLabel(this);
        row.value->setObjectName("lblValue" + suffix);
        row.value->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-0.0000000")));
        row.on = new QLabel(this);
        row.on->setObjectName("picDigitalOn0" + suffix);
        row.on->setPixmap(onPixmap);
        row.off = new QLabel(this);
        row.off->setObjectName("picDigitalOff0" + suffix);
        row.off->setPixmap(offPixmap);
        // Rows fill column by column, RowsPerColumn rows high.
        const int r = i % RowsPerColumn;
        const int c = (i / RowsPerColumn) * 3;
        grid->addWidget(row.name, r, c);
        auto *cell = new QHBoxLayout;
        cell->setSpacing(0);
        cell->addWidget(row.value);
        cell->addWidget(row.on);
        cell->addWidget(row.off);
        cell->addStretch(1);
        grid->addLayout(cell, r, c + 1);
        grid->setColumnMinimumWidth(c + 2, 8);
        for (QLabel *l : {row.name, row.value, row.on, row.off})
            l->setVisible(false);
    }
    grid->setColumnStretch(RealTimeStrip::RowCount / RowsPerColumn * 3, 1);
    // The strip keeps the height of full rows even while few inputs fill
    // them, so the window lays it out once, at switch-on, with room for all.
    const int rowHeight = std::max(fontMetrics().height(), onPixmap.height());
    for (int r = 0; r < RowsPerColumn; ++r)
        grid->setRowMinimumHeight(r, rowHeight);
    // Shown only while the staged rev limiter is enabled.
    m_revLimitVisible = false;
    m_revLimitCaption->setVisible(false);
    m_revLimitValue->setVisible(false);
}

QLabel *RealTimeStripView::label(const QString &name) const
{
    return findChild<QLabel *>(name);
}

void RealTimeStripView::Show(const RealTimeStrip &strip)
{
    setIfChanged(m_status, strip.status);
    setIfChanged(m_rpm, strip.rpm);
    setIfChanged(m_tp, strip.tp);
    setIfChanged(m_mas, strip.mas);
    setColor(m_mas, m_masColor, strip.masColor);
    setIfChanged(m_injPW, strip.injectorPW);
    setIfChanged(m_injDuty, strip.injectorDuty);
    if (m_revLimitVisible != strip.revLimitVisible) {
        m_revLimitVisible = strip.revLimitVisible;
        m_revLimitCaption->setVisible(m_revLimitVisible);
        m_revLimitValue->setVisible(m_revLimitVisible);
    }
    setIfChanged(m_revLimitValue, strip.revLimitValue);

    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const RealTimeStripRow &want = strip.rows[i];
        Row &row = m_rows[i];
        const bool kindChanged = row.kind != want.kind;
        const bool highChanged = row.high != want.high;
        if (!kindChanged && want.kind == RealTimeStripRow::Kind::Hidden)
            continue;
        if (want.kind != RealTimeStripRow::Kind::Hidden)
            setIfChanged(row.name, want.name);
        if (want.kind == RealTimeStripRow::Kind::Analog) {
            setIfChanged(row.value, want.valueText);
            setColor(row.value, row.color, want.valueColor);
        }
        if (kindChanged || (want.kind == RealTimeStripRow::Kind::Digital && highChanged)) {
            const bool analog = want.kind == RealTimeStripRow::Kind::Analog;
            const bool digital = want.kind == RealTimeStripRow::Kind::Digital;
            row.name->setVisible(analog || digital);
            row.value->setVisible(analog);
            row.on->setVisible(digital && want.high);
            row.off->setVisible(digital && !want.high);
        }
        row.kind = want.kind;
        row.high = want.high;
    }
}
