#pragma once

#include <functional>
#include <vector>

// Where the main window's areas go, in twips, for a given splitter position.
// Kept apart from the widgets so the rules can be checked on their own.
namespace WindowLayout {

inline constexpr int MinimumWindowWidth = 3000; // twips
inline constexpr int SplitterMargin = 500;      // the splitter stays this far from either edge
inline constexpr int TreeLeft = 5;
inline constexpr int PanelGap = 40;             // panel starts this far right of the splitter
inline constexpr int PanelRightMargin = 200;    // panel width = window width - (x + this)

struct Rect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect &) const = default;
};

struct Input
{
    double splitterX = 2500;  // tree width, twips
    int windowWidth = 6500;   // client width, twips
    int clientTop = 0;        // below the toolbar when it is shown
    int clientBottom = 6500;  // above the status bar when it is shown
    bool realTime = false;    // the live strip is shown below the panel...
    bool vqSelected = false;  // ...except while the VQ Table node is selected
    int stripHeight = 0;      // height the live strip asks for
    // When set, the height the strip asks for at a width (twips to twips):
    // a strip that wraps its labels onto more lines on a narrow panel needs
    // more height there. Replaces stripHeight.
    std::function<int(int width)> stripHeightForWidth;
};

struct Result
{
    Rect tree;
    int splitterLeft = 0;
    int storedSplitterX = 0;  // what the SplitterX preference becomes
    Rect panel;
    Rect strip;
    bool stripVisible = false;
};

Result Compute(const Input &in);

// Where the splitter bar goes while it is dragged to proposedLeft.
int ClampSplitter(int proposedLeft, int windowWidth);

// What a window manager's frame adds to a window's size, in pixels.
struct Frame
{
    int width = 0;
    int height = 0;
};

// Where the main window opens, all in pixels: the stored placement (the
// frame's top left corner, the window's size inside the frame) held to the
// available area of its screen. The size is at least the minimum and at most
// what the area holds with the frame; the window is moved, frame and all,
// onto the area as far as it must.
Rect PlaceWindow(const Rect &stored, const Rect &area, int minimumWidth, int minimumHeight, const Frame &frame = {});

// Where the main window opens when no placement is stored: most of the area,
// centred on it.
Rect FirstPlace(const Rect &area, int minimumWidth, int minimumHeight, const Frame &frame = {});

// The window width a resize ends with.
inline int ClampWindowWidth(int width) { return width < MinimumWindowWidth ? MinimumWindowWidth : width; }

// Lays items of the given widths out left to right, starting a new line
// where the next item would pass width (spacing between items on a line).
// Returns each item's line, 0 first; an item wider than the whole width
// takes a line of its own. Items of width 0 (hidden) stay on the current
// line and take no room.
std::vector<int> FlowLines(const std::vector<int> &widths, int width, int spacing);

} // namespace WindowLayout
