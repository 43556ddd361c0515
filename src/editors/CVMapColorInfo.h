#pragma once

#include <array>
#include <cstdint>

// Colours as the program stores them: red in the low byte, then green, then
// blue.
constexpr std::uint32_t VntRGB(int r, int g, int b)
{
    return static_cast<std::uint32_t>(r & 0xFF) | (static_cast<std::uint32_t>(g & 0xFF) << 8)
        | (static_cast<std::uint32_t>(b & 0xFF) << 16);
}
constexpr int VntRed(std::uint32_t c) { return static_cast<int>(c & 0xFF); }
constexpr int VntGreen(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int VntBlue(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }

// The map cells' colour scale, indexed by the raw byte: open-loop values
// 0..127 blue growing paler, RGB(i, i, 255); closed-loop values 128..255 dark
// red growing brighter, RGB(i, 0, 0). One scale is shared by the program.
class CVMapColorInfo
{
public:
    static constexpr std::uint32_t OpenLoopColor = VntRGB(0, 0, 255);
    static constexpr std::uint32_t ClosedLoopColor = VntRGB(255, 0, 0);
    static constexpr std::uint32_t TraceColor = VntRGB(0, 192, 0);

    CVMapColorInfo();

    // The scale entry for a raw byte; an index outside 0..255 is clamped.
    std::uint32_t GetBackColor(int index) const;

    static const CVMapColorInfo &Shared();

private:
    std::array<std::uint32_t, 256> m_colors{};
};
