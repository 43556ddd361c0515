#include "editors/CellColours.h"

#include "editors/GridRules.h"
#include "model/CVMapInfo.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace CellColours {

namespace {

// viridis sampled at 0, 0.1, ..., 1.
constexpr std::array<std::uint32_t, 11> Viridis{
    VntRGB(0x44, 0x01, 0x54), VntRGB(0x48, 0x24, 0x75), VntRGB(0x41, 0x44, 0x87), VntRGB(0x35, 0x5F, 0x8D),
    VntRGB(0x2A, 0x78, 0x8E), VntRGB(0x21, 0x91, 0x8C), VntRGB(0x22, 0xA8, 0x84), VntRGB(0x44, 0xBF, 0x70),
    VntRGB(0x7A, 0xD1, 0x51), VntRGB(0xBD, 0xDF, 0x26), VntRGB(0xFD, 0xE7, 0x25),
};

// Grey from dark to light; its ends stay clear of black and white text.
constexpr int GreyLow = 70;
constexpr int GreyHigh = 225;

constexpr std::uint32_t ValueTrace = VntRGB(255, 64, 200);

double clamp01(double t)
{
    return std::isfinite(t) ? std::clamp(t, 0.0, 1.0) : 0.0;
}

int mix(int a, int b, double f)
{
    return static_cast<int>(std::lround(a + (b - a) * f));
}

std::uint32_t viridisAt(double t)
{
    const double x = clamp01(t) * (Viridis.size() - 1);
    const int i = std::min(static_cast<int>(x), static_cast<int>(Viridis.size()) - 2);
    const double f = x - i;
    const std::uint32_t a = Viridis[i];
    const std::uint32_t b = Viridis[i + 1];
    return VntRGB(mix(VntRed(a), VntRed(b), f), mix(VntGreen(a), VntGreen(b), f), mix(VntBlue(a), VntBlue(b), f));
}

std::uint32_t greyAt(double t)
{
    const int g = mix(GreyLow, GreyHigh, clamp01(t));
    return VntRGB(g, g, g);
}

} // namespace

double ValuePosition(const ColourScale &scale, int raw, bool timing)
{
    const int clamped = std::clamp(raw, 0, 255);
    const double shown = GridRules::DisplayValue(clamped, timing);
    const auto along = [shown](double low, double high) { return high > low ? clamp01((shown - low) / (high - low)) : 0.5; };
    if (timing)
        return along(scale.timingLow, scale.timingHigh);
    return GridRules::IsOpenLoopValue(clamped) ? along(scale.openLow, scale.openHigh)
                                               : along(scale.closedLow, scale.closedHigh);
}

ColourScale ScaleFor(Scheme scheme, bool ownRange, const CVMapInfo &map, bool timing)
{
    ColourScale scale{scheme};
    if (!ownRange || scheme != Scheme::ValueScale)
        return scale;
    // Each kind of cell over the values the map's cells of that kind take;
    // a kind the map has none of keeps its full range.
    struct Span
    {
        double &low, &high;
        bool seen = false;
        void take(double value)
        {
            low = seen ? std::min(low, value) : value;
            high = seen ? std::max(high, value) : value;
            seen = true;
        }
    };
    Span timingSpan{scale.timingLow, scale.timingHigh}, open{scale.openLow, scale.openHigh},
        closed{scale.closedLow, scale.closedHigh};
    for (int entry = 0; entry < map.EntryCount(); ++entry) {
        const int raw = map.MapValue(entry);
        Span &kind = timing ? timingSpan : GridRules::IsOpenLoopValue(raw) ? open : closed;
        kind.take(GridRules::DisplayValue(raw, timing));
    }
    return scale;
}

std::uint32_t Background(const ColourScale &scale, int raw, bool timing)
{
    if (scale.scheme != Scheme::ValueScale)
        return CVMapColorInfo::Shared().GetBackColor(raw);
    const double t = ValuePosition(scale, raw, timing);
    return GridRules::IsOpenLoopValue(std::clamp(raw, 0, 255)) ? viridisAt(t) : greyAt(t);
}

std::uint32_t TraceColour(Scheme scheme)
{
    return scheme == Scheme::ValueScale ? ValueTrace : CVMapColorInfo::TraceColor;
}

std::uint32_t OpenLoopAt(Scheme scheme, double t)
{
    return scheme == Scheme::ValueScale ? viridisAt(t) : CVMapColorInfo::OpenLoopColor;
}

std::uint32_t ClosedLoopAt(Scheme scheme, double t)
{
    return scheme == Scheme::ValueScale ? greyAt(t) : CVMapColorInfo::ClosedLoopColor;
}

} // namespace CellColours
