#include "daq/ui/RealTimeStripView.h"

#include "platform/WindowLayout.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>
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

namespace {

constexpr int Margin = 4;
constexpr int PairGap = 14;   // between pairs on a line
constexpr int CaptionGap = 4; // between a caption and its value
constexpr int ColumnGap = 14; // between input columns
constexpr int LineGap = 2;

} // namespace

RealTimeStripView::RealTimeStripView(QWidget *parent) : QWidget(parent)
{
    setObjectName("RealTimeStripView");
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    const auto pair = [&](const char *caption, const char *name, const char *initial, const QString &widest) {
        auto *c = new QLabel(QString::fromUtf8(caption), this);
        c->setObjectName(QStringLiteral("%1Caption").arg(QLatin1String(name)));
        auto *v = new QLabel(QString::fromUtf8(initial), this);
        v->setObjectName(QLatin1String(name));
        QFont bold = v->font();
        bold.setBold(true);
        v->setFont(bold);
        m_pairs.push_back({c, v, QFontMetrics(bold).horizontalAdvance(widest) + 2});
        return v;
    };
    m_status = pair("Acquisition Status:", "lblRTStatus", "No data available.", QStringLiteral("No data available."));
    // A status longer than the strip is wide ("Receiving data. Datalog
    // stopped: No space left on device") wraps onto more lines, never cut.
    m_status->setWordWrap(true);
    m_rpm = pair("RPM:", "lblRTRPM", "0000", QStringLiteral("00000"));
    m_tp = pair("TP:", "lblRTTP", "000", QStringLiteral("000"));
    m_mas = pair("MAS:", "lblRTMAS", "0.0v", QStringLiteral("0.000v"));
    m_injPW = pair("Injector PW:", "lblRTInjPW", "0.00 ms", QStringLiteral("00.00 ms"));
    m_injDuty = pair("Duty Cycle:", "lblRTInjDuty", "0%", QStringLiteral("100.0%"));
    m_revLimitValue = pair("Rev Limit:", "lblRevLimitValue", "0000", QStringLiteral("00000"));
    m_revLimitCaption = m_pairs.back().caption;
    m_revLimitCaption->setObjectName("lblRTStagedRevLimiter");
    m_health = pair("Health:", "lblRTHealth", "", QStringLiteral("00.0 samples/s, 0 skipped, write 00 ms"));

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
        for (QLabel *l : {row.name, row.value, row.on, row.off})
            l->setVisible(false);
    }
    // Shown only while the staged rev limiter is enabled.
    m_revLimitVisible = false;
    m_revLimitCaption->setVisible(false);
    m_revLimitValue->setVisible(false);
}

int RealTimeStripView::arrange(int width, bool apply) const
{
    const int inner = std::max(1, width - 2 * Margin);
    // The pairs.
    std::vector<int> widths;
    int lineHeight = 0;
    for (const Pair &p : m_pairs) {
        const bool visible = p.caption != m_revLimitCaption || m_revLimitVisible;
        const int valueWidth = std::max(p.value->sizeHint().width(), p.reserve);
        widths.push_back(visible ? p.caption->sizeHint().width() + CaptionGap + valueWidth : 0);
        // A wrapping label's hint may already be more than one line.
        const int valueHeight = p.value == m_status ? m_status->fontMetrics().height() : p.value->sizeHint().height();
        lineHeight = std::max({lineHeight, p.caption->sizeHint().height(), valueHeight});
    }
    // The status comes first, so it opens the first line; a text wider than
    // the strip takes the whole line and as many lines as its words need.
    const int statusCaption = m_pairs.front().caption->sizeHint().width() + CaptionGap;
    const int statusOneLine = m_status->fontMetrics().horizontalAdvance(m_status->text()) + 2;
    const int statusWidth = std::max(std::min(statusOneLine, inner - statusCaption), m_pairs.front().reserve);
    widths.front() = statusCaption + statusWidth;
    const int statusExtra = std::max(0, m_status->heightForWidth(statusWidth) - lineHeight);
    const std::vector<int> lines = WindowLayout::FlowLines(widths, inner, PairGap);
    const int pairLines = lines.empty() ? 1 : lines.back() + 1;
    if (apply) {
        int x = Margin, line = 0;
        for (std::size_t i = 0; i < m_pairs.size(); ++i) {
            if (widths[i] == 0)
                continue;
            if (lines[i] != line) {
                line = lines[i];
                x = Margin;
            }
            const Pair &p = m_pairs[i];
            const int y = Margin / 2 + line * (lineHeight + LineGap) + (line > 0 ? statusExtra : 0);
            const int height = lineHeight + (line == 0 ? statusExtra : 0);
            const int captionWidth = p.caption->sizeHint().width();
            p.caption->setGeometry(x, y, captionWidth, lineHeight);
            p.value->setGeometry(x + captionWidth + CaptionGap, y, widths[i] - captionWidth - CaptionGap, height);
            x += widths[i] + PairGap;
        }
    }

    // The input columns, four rows each.
    const int lampWidth = m_rows[0].on->sizeHint().width();
    const int rowHeight = std::max(fontMetrics().height(), m_rows[0].on->sizeHint().height());
    constexpr int Columns = RealTimeStrip::RowCount / RowsPerColumn;
    std::vector<int> columnWidths(Columns, 0), nameWidths(Columns, 0);
    for (int c = 0; c < Columns; ++c) {
        int name = 0, value = 0;
        bool any = false;
        for (int r = 0; r < RowsPerColumn; ++r) {
            const Row &row = m_rows[static_cast<std::size_t>(c * RowsPerColumn + r)];
            if (row.kind == RealTimeStripRow::Kind::Hidden)
                continue;
            any = true;
            name = std::max(name, row.name->sizeHint().width());
            value = std::max(value, row.kind == RealTimeStripRow::Kind::Analog
                                        ? std::max(row.value->sizeHint().width(), row.value->minimumWidth())
                                        : lampWidth);
        }
        nameWidths[static_cast<std::size_t>(c)] = name;
        columnWidths[static_cast<std::size_t>(c)] = any ? name + CaptionGap + value : 0;
    }
    const std::vector<int> bands = WindowLayout::FlowLines(columnWidths, inner, ColumnGap);
    const int bandCount = bands.empty() ? 1 : bands.back() + 1;
    const int bandHeight = RowsPerColumn * (rowHeight + 1);
    const int top = Margin / 2 + pairLines * (lineHeight + LineGap) + statusExtra + LineGap;
    if (apply) {
        int x = Margin, band = 0;
        for (int c = 0; c < Columns; ++c) {
            const int w = columnWidths[static_cast<std::size_t>(c)];
            if (w == 0)
                continue;
            if (bands[static_cast<std::size_t>(c)] != band) {
                band = bands[static_cast<std::size_t>(c)];
                x = Margin;
            }
            const int nameWidth = nameWidths[static_cast<std::size_t>(c)];
            for (int r = 0; r < RowsPerColumn; ++r) {
                const Row &row = m_rows[static_cast<std::size_t>(c * RowsPerColumn + r)];
                const int y = top + band * bandHeight + r * (rowHeight + 1);
                const int vx = x + nameWidth + CaptionGap;
                row.name->setGeometry(x, y, nameWidth, rowHeight);
                row.value->setGeometry(vx, y, w - nameWidth - CaptionGap, rowHeight);
                row.on->setGeometry(vx, y, lampWidth, rowHeight);
                row.off->setGeometry(vx, y, lampWidth, rowHeight);
            }
            x += w + ColumnGap;
        }
    }
    // Room for full columns even while few inputs fill them, so the window
    // lays the strip out once, at switch-on, with room for all four rows.
    return top + bandCount * bandHeight + Margin / 2;
}

int RealTimeStripView::heightForWidth(int width) const
{
    return arrange(width, false);
}

QSize RealTimeStripView::sizeHint() const
{
    const int wide = 1400;
    return {wide, heightForWidth(wide)};
}

QSize RealTimeStripView::minimumSizeHint() const
{
    return {200, heightForWidth(200)};
}

void RealTimeStripView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange(width(), true);
}

void RealTimeStripView::relayout()
{
    const int needed = heightForWidth(width());
    if (needed != m_heightNeeded) {
        m_heightNeeded = needed;
        updateGeometry();
    }
    arrange(width(), true);
}

void RealTimeStripView::ShowHealth(const QString &text)
{
    setIfChanged(m_health, text);
    if (m_health->sizeHint().width() > m_health->width())
        relayout();
}

QLabel *RealTimeStripView::label(const QString &name) const
{
    return findChild<QLabel *>(name);
}

void RealTimeStripView::Show(const RealTimeStrip &strip)
{
    // something appeared, went or outgrew its place; a new status may need
    // more or fewer lines
    bool moved = m_status->text() != strip.status;
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
        moved = true;
    }
    setIfChanged(m_revLimitValue, strip.revLimitValue);

    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const RealTimeStripRow &want = strip.rows[i];
        Row &row = m_rows[i];
        const bool kindChanged = row.kind != want.kind;
        const bool highChanged = row.high != want.high;
        if (!kindChanged && want.kind == RealTimeStripRow::Kind::Hidden)
            continue;
        if (want.kind != RealTimeStripRow::Kind::Hidden && row.name->text() != want.name) {
            row.name->setText(want.name);
            moved = true;
        }
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
            moved = moved || kindChanged;
        }
        row.kind = want.kind;
        row.high = want.high;
        if (want.kind == RealTimeStripRow::Kind::Analog && row.value->sizeHint().width() > row.value->width())
            moved = true;
    }
    for (const Pair &p : m_pairs)
        if (p.value->isVisible() && p.value->sizeHint().width() > p.value->width())
            moved = true;
    if (moved)
        relayout();
}
