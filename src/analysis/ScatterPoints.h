#pragma once

#include <cstddef>
#include <vector>

struct DataLog;

// An X-Y scatter of two log columns as the screen can show it: every row of
// a range binned into the pixel it lands on, so a million rows draw as fast
// as a few thousand. Each pixel keeps the colour value of the last row that
// landed on it (a later sample over an earlier one, as drawn in order).
namespace ScatterPoints {

// A scale from low to high whose ends lie on round ticks (1, 2 or 5 times a
// power of ten, NiceSteps), step apart.
struct Scale
{
    double low = 0;
    double high = 1;
    double step = 1;
};
// The round scale around the values lo..hi (lo == hi gets a width of one
// step around the value).
Scale RoundScale(double lo, double hi, int ticks);

// A colour by time: pass this as the colour column.
inline constexpr int ByTime = -1;

struct Image
{
    int width = 0;
    int height = 0;
    Scale x, y;
    double colourLow = 0, colourHigh = 1;
    // width * height pixels, row 0 at the top: the colour value's place
    // from colourLow (0) to colourHigh (1); -1 a point without a colour
    // value; NaN no point.
    std::vector<float> colour;
    std::size_t points = 0;  // rows drawn
    std::size_t skipped = 0; // rows without x or y
};

// Rows [first, end) of columns x and y, coloured by colourColumn (ByTime:
// the sample's time); a pixel grid width x height (at least 1 x 1).
Image Bin(const DataLog &log, int xColumn, int yColumn, int colourColumn, std::size_t first, std::size_t end,
          int width, int height);

} // namespace ScatterPoints
