#include "editors/ui/GridLegend.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <functional>

namespace {

QColor toQColor(std::uint32_t c)
{
    return QColor(VntRed(c), VntGreen(c), VntBlue(c));
}

// A legend box: one colour, or a ramp from low (left) to high (right).
QPixmap swatch(const std::function<std::uint32_t(double)> &colourAt)
{
    constexpr int Width = 42;
    constexpr int Height = 14;
    QPixmap picture(Width, Height);
    QPainter painter(&picture);
    for (int x = 0; x < Width; ++x) {
        painter.setPen(toQColor(colourAt(x / double(Width - 1))));
        painter.drawLine(x, 0, x, Height - 1);
    }
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, Width - 1, Height - 1);
    return picture;
}

} // namespace

GridLegend::GridLegend(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picLegend"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    const auto entry = [&](const char *boxName, const char *caption) {
        auto *box = new QLabel(this);
        box->setObjectName(QLatin1String(boxName));
        row->addWidget(box);
        row->addWidget(new QLabel(QLatin1String(caption), this));
        row->addSpacing(12);
        return box;
    };
    m_openLoop = entry("legendOpenLoop", "Open Loop");
    m_closedLoop = entry("legendClosedLoop", "Closed Loop");
    m_trace = entry("legendRealTime", "Real-Time Access");
    row->addStretch(1);
}

void GridLegend::ShowScale(const CellColours::ColourScale &scale, bool timing)
{
    const CellColours::Scheme s = scale.scheme;
    m_openLoop->setPixmap(swatch([s](double t) { return CellColours::OpenLoopAt(s, t); }));
    m_closedLoop->setPixmap(swatch([s](double t) { return CellColours::ClosedLoopAt(s, t); }));
    m_trace->setPixmap(swatch([s](double) { return CellColours::TraceColour(s); }));
    const bool byValue = s == CellColours::Scheme::ValueScale;
    const auto ramp = [byValue](double low, double high) {
        return byValue ? QStringLiteral("Shaded by value, %1 (left) to %2 (right)").arg(low).arg(high) : QString();
    };
    m_openLoop->setToolTip(timing ? ramp(scale.timingLow, scale.timingHigh) : ramp(scale.openLow, scale.openHigh));
    m_closedLoop->setToolTip(timing ? ramp(scale.timingLow, scale.timingHigh)
                                    : ramp(scale.closedLow, scale.closedHigh));
}
