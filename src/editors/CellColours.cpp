#include "editors/CellColours.h"

#include "editors/GridRules.h"

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

double ValuePosition(int raw, bool timing)
{
    const int shown = GridRules::DisplayValue(std::clamp(raw, 0, 255), timing);
    if (timing)
        return clamp01(shown / 45.0);
    if (GridRules::IsOpenLoopValue(raw))
        return clamp01(shown / 127.0);
    return clamp01((shown + 64) / 127.0);
}

std::uint32_t Background(Scheme scheme, int raw, bool timing)
{
    if (scheme != Scheme::ValueScale)
        return CVMapColorInfo::Shared().GetBackColor(raw);
    const double t = ValuePosition(raw, timing);
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
