#include "gauges/ui/GaugeWidget.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace {

constexpr int Margin = 6;

QPointF onCircle(const QPointF &centre, double radius, double degrees)
{
    const double a = qDegreesToRadians(degrees);
    return {centre.x() + radius * std::cos(a), centre.y() - radius * std::sin(a)};
}

} // namespace

GaugeWidget::GaugeWidget(const QString &title, Style style, QWidget *parent)
    : QWidget(parent), m_title(title), m_style(style)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_text = QStringLiteral("0");
}

QSize GaugeWidget::sizeHint() const
{
    switch (m_style) {
    case Style::Dial: return {180, 170};
    case Style::Bar: return {180, 80};
    case Style::Lamp: return {120, 70};
    }
    return {180, 170};
}

QSize GaugeWidget::minimumSizeHint() const
{
    return m_style == Style::Dial ? QSize(110, 110) : QSize(100, 60);
}

void GaugeWidget::setStyle(Style style)
{
    if (style == m_style)
        return;
    m_style = style;
    m_faceValid = false;
    m_step = visibleStep(m_value);
    updateGeometry();
    update();
}

void GaugeWidget::setRange(GaugeScale::Range range)
{
    if (range == m_range)
        return;
    m_range = range;
    m_faceValid = false;
    m_step = visibleStep(m_value);
    update();
}

void GaugeWidget::setZones(const Zones &zones)
{
    m_zones = zones;
    m_faceValid = false;
    update();
}

QColor GaugeWidget::readingColor() const
{
    return m_color.isValid() ? m_color : NeutralColor();
}

int GaugeWidget::visibleStep(double value) const
{
    switch (m_style) {
    case Style::Dial: return static_cast<int>(std::lround(GaugeScale::DialAngle(value, m_range) * 4.0));
    case Style::Bar: return GaugeScale::BarLength(value, m_range, barRect().width());
    case Style::Lamp: return std::isfinite(value) && value >= 0.5 ? 1 : 0;
    }
    return 0;
}

bool GaugeWidget::setReading(double value, const QString &text, const QColor &color)
{
    m_value = value;
    const int step = visibleStep(value);
    if (step == m_step && text == m_text && color == m_color)
        return false;
    m_step = step;
    m_text = text;
    m_color = color;
    update();
    return true;
}

QRectF GaugeWidget::dialRect() const
{
    const QFontMetrics fm(font());
    const double top = Margin + fm.height();
    const double side = std::max(10.0, std::min(width() - 2.0 * Margin, height() - top - Margin));
    return {(width() - side) / 2.0, top, side, side};
}

QRect GaugeWidget::barRect() const
{
    const QFontMetrics fm(font());
    const int top = Margin + fm.height() + 4;
    const int h = std::max(8, std::min(26, height() - top - Margin - fm.height() - 6));
    return {Margin, top, std::max(1, width() - 2 * Margin), h};
}

QString GaugeWidget::titleText(int room) const
{
    // A scale in thousands says so after the title ("RPM  x1000"). Where the
    // line is short the title gives way first: without its factor a label
    // of 6 would read as 6 RPM.
    const QFontMetrics fm = fontMetrics();
    const QString factor = m_style == Style::Lamp ? QString() : GaugeScale::FactorText(m_range);
    if (factor.isEmpty())
        return fm.elidedText(m_title, Qt::ElideRight, room);
    const QString tail = QStringLiteral("  ") + factor;
    QString whole = m_title + tail;
    if (fm.horizontalAdvance(whole) <= room)
        return whole;
    const int titleRoom = room - fm.horizontalAdvance(tail);
    if (titleRoom <= 0)
        return fm.elidedText(factor, Qt::ElideRight, room);
    return fm.elidedText(m_title, Qt::ElideRight, titleRoom) + tail;
}

QString GaugeWidget::tickText(double v) const
{
    return GaugeScale::TickText(v, m_range);
}

void GaugeWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_faceValid = false;
    m_step = visibleStep(m_value);
}

void GaugeWidget::buildFace()
{
    ++m_faceBuilds;
    const qreal dpr = devicePixelRatioF();
    m_face = QPixmap(size() * dpr);
    m_face.setDevicePixelRatio(dpr);
    m_face.fill(palette().color(QPalette::Window));
    QPainter p(&m_face);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor text = palette().color(QPalette::WindowText);
    p.setPen(text);
    // A bar's value stands at the right of its title row.
    // (A bar's title is drawn with its value, which it must make room for.)
    if (m_style != Style::Bar)
        p.drawText(QRect(Margin, Margin / 2, width() - 2 * Margin, fontMetrics().height()),
                   Qt::AlignHCenter | Qt::AlignTop, titleText(width() - 2 * Margin));

    auto zoneSpans = [this](auto &&draw) {
        if (m_zones.warning) {
            const double end = m_zones.critical ? *m_zones.critical : m_range.max;
            draw(*m_zones.warning, end, m_zones.warningColor);
        }
        if (m_zones.critical)
            draw(*m_zones.critical, m_range.max, m_zones.criticalColor);
    };

    if (m_style == Style::Dial) {
        const QRectF r = dialRect();
        const QPointF c = r.center();
        const double radius = r.width() / 2.0;
        p.setPen(QPen(text.lighter(170), 1.0));
        p.setBrush(palette().color(QPalette::Base));
        p.drawEllipse(r);
        const QRectF arcRect = r.adjusted(radius * 0.12, radius * 0.12, -radius * 0.12, -radius * 0.12);
        zoneSpans([&](double from, double to, const QColor &color) {
            const double a0 = GaugeScale::DialAngle(from, m_range);
            const double a1 = GaugeScale::DialAngle(to, m_range);
            if (a0 <= a1)
                return;
            p.setPen(QPen(color, std::max(3.0, radius * 0.08), Qt::SolidLine, Qt::FlatCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(arcRect, static_cast<int>(a1 * 16), static_cast<int>((a0 - a1) * 16));
        });
        p.setPen(QPen(text, 1.5));
        QFont small = font();
        small.setPointSizeF(std::max(6.0, font().pointSizeF() * 0.85));
        p.setFont(small);
        const QFontMetricsF sfm(small);
        const QVector<double> ticks = GaugeScale::Ticks(m_range);
        QVector<QRectF> labels;
        for (double v : ticks) {
            const QPointF at = onCircle(c, radius * 0.64, GaugeScale::DialAngle(v, m_range));
            const double w = sfm.horizontalAdvance(tickText(v));
            labels << QRectF(at.x() - w / 2, at.y() - sfm.height() / 2, w, sfm.height());
        }
        const int stride = GaugeScale::LabelStride(labels);
        for (int i = 0; i < ticks.size(); ++i) {
            const double a = GaugeScale::DialAngle(ticks[i], m_range);
            p.drawLine(onCircle(c, radius * 0.80, a), onCircle(c, radius * 0.94, a));
            if (i % stride == 0)
                p.drawText(labels[i], Qt::AlignCenter, tickText(ticks[i]));
        }

    } else if (m_style == Style::Bar) {
        const QRect r = barRect();
        p.setPen(QPen(text.lighter(170), 1.0));
        p.setBrush(palette().color(QPalette::Base));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        zoneSpans([&](double from, double to, const QColor &color) {
            const int x0 = r.left() + GaugeScale::BarLength(from, m_range, r.width());
            const int x1 = r.left() + GaugeScale::BarLength(to, m_range, r.width());
            if (x1 > x0)
                p.fillRect(QRect(x0, r.bottom() + 1, x1 - x0, 3), color);
        });
        p.setPen(text);
        QFont small = font();
        small.setPointSizeF(std::max(6.0, font().pointSizeF() * 0.8));
        p.setFont(small);
        const QFontMetrics fm(small);
        const QVector<double> ticks = GaugeScale::Ticks(m_range);
        QVector<QRectF> labels;
        for (double v : ticks) {
            const int x = r.left() + GaugeScale::BarLength(v, m_range, r.width());
            const int w = fm.horizontalAdvance(tickText(v));
            labels << QRectF(std::clamp(x - w / 2, 0, std::max(0, width() - w)), r.bottom() + 8, w, fm.height());
        }
        // Labels that would run into each other on a narrow bar: every
        // second (third...) one is drawn, the ticks all stay.
        const int stride = GaugeScale::LabelStride(labels);
        for (int i = 0; i < ticks.size(); ++i) {
            const int x = r.left() + GaugeScale::BarLength(ticks[i], m_range, r.width());
            p.drawLine(x, r.bottom() + 4, x, r.bottom() + 7);
            if (i % stride == 0)
                p.drawText(QPointF(labels[i].left(), labels[i].top() + fm.ascent()), tickText(ticks[i]));
        }
    }
    m_faceValid = true;
}

void GaugeWidget::paintEvent(QPaintEvent *)
{
    ++m_paints;
    if (!m_faceValid || m_face.size() != size() * devicePixelRatioF())
        buildFace();
    QPainter p(this);
    p.drawPixmap(0, 0, m_face);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color = readingColor();
    QFont bold = font();
    bold.setBold(true);

    switch (m_style) {
    case Style::Dial: {
        const QRectF r = dialRect();
        const QPointF c = r.center();
        const double radius = r.width() / 2.0;
        const double a = m_step / 4.0;
        p.setPen(QPen(color, std::max(2.0, radius * 0.05), Qt::SolidLine, Qt::RoundCap));
        p.drawLine(onCircle(c, radius * 0.12, a + 180.0), onCircle(c, radius * 0.86, a));
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawEllipse(c, radius * 0.07, radius * 0.07);
        p.setPen(color);
        p.setFont(bold);
        p.drawText(QRectF(r.left(), c.y() + radius * 0.35, r.width(), radius * 0.4), Qt::AlignCenter, m_text);
        break;
    }
    case Style::Bar: {
        const QRect r = barRect();
        if (m_step > 0)
            p.fillRect(QRect(r.left() + 1, r.top() + 1, std::min(m_step, r.width() - 2), r.height() - 2), color);
        // The value at the right of the title row; the title takes what is
        // left, shortened rather than run under the value.
        const int valueWidth = QFontMetrics(bold).horizontalAdvance(m_text);
        const int room = std::max(0, width() - 2 * Margin - valueWidth - 6);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(QRect(Margin, Margin / 2, room, fontMetrics().height()), Qt::AlignLeft | Qt::AlignTop,
                   titleText(room));
        p.setPen(color);
        p.setFont(bold);
        p.drawText(QRect(0, Margin / 2, width() - Margin, fontMetrics().height()), Qt::AlignRight | Qt::AlignTop,
                   m_text);
        break;
    }
    case Style::Lamp: {
        const double d = std::clamp(std::min(width(), height()) - 2.0 * Margin - fontMetrics().height() - 4.0, 8.0, 40.0);
        const QRectF lamp((width() - d) / 2.0, Margin + fontMetrics().height() + 2.0, d, d);
        p.setPen(QPen(palette().color(QPalette::WindowText), 1.0));
        p.setBrush(m_step ? (m_color.isValid() ? m_color : QColor(0, 192, 0)) : QColor(70, 70, 70));
        p.drawEllipse(lamp);
        break;
    }
    }
}

void GaugeWidget::contextMenuEvent(QContextMenuEvent *event)
{
    if (m_style == Style::Lamp)
        return;
    QMenu menu(this);
    QAction *dial = menu.addAction(QStringLiteral("&Dial"));
    QAction *bar = menu.addAction(QStringLiteral("&Bar"));
    dial->setCheckable(true);
    bar->setCheckable(true);
    dial->setChecked(m_style == Style::Dial);
    bar->setChecked(m_style == Style::Bar);
    QAction *chosen = menu.exec(event->globalPos());
    if (chosen == dial)
        setStyle(Style::Dial);
    else if (chosen == bar)
        setStyle(Style::Bar);
}
