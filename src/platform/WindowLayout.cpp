#include "platform/WindowLayout.h"

#include "platform/Rounding.h"

#include <algorithm>

namespace WindowLayout {

Result Compute(const Input &in)
{
    Result r;
    const int x = static_cast<int>(vnt::RoundHalfEven(in.splitterX));
    const int height = std::max(0, in.clientBottom - in.clientTop);
    r.tree = {TreeLeft, in.clientTop, std::max(0, x), height};
    r.splitterLeft = x;
    r.storedSplitterX = x;
    const int panelWidth = std::max(0, in.windowWidth - (x + PanelRightMargin));
    r.stripVisible = in.realTime && !in.vqSelected;
    const int asked = in.stripHeightForWidth ? in.stripHeightForWidth(panelWidth) : in.stripHeight;
    const int strip = r.stripVisible ? std::clamp(asked, 0, height) : 0;
    r.panel = {x + PanelGap, in.clientTop, panelWidth, height - strip};
    if (r.stripVisible)
        r.strip = {x + PanelGap, in.clientTop + height - strip, panelWidth, strip};
    return r;
}

std::vector<int> FlowLines(const std::vector<int> &widths, int width, int spacing)
{
    std::vector<int> lines(widths.size(), 0);
    int line = 0;
    int used = 0; // width taken on the current line, 0 while it is empty
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const int w = std::max(0, widths[i]);
        if (w > 0) {
            if (used > 0 && used + spacing + w > width) {
                ++line;
                used = 0;
            }
            used += (used > 0 ? spacing : 0) + w;
        }
        lines[i] = line;
    }
    return lines;
}

int ClampSplitter(int proposedLeft, int windowWidth)
{
    // The right limit wins when the window is too narrow for both.
    return std::min(std::max(proposedLeft, SplitterMargin), windowWidth - SplitterMargin);
}

Rect PlaceWindow(const Rect &stored, const Rect &area, int minimumWidth, int minimumHeight, const Frame &frame)
{
    // 64 bits: stored values may be anything a hand-edited settings file holds.
    using Big = long long;
    const int roomWidth = std::max(0, area.width - frame.width);
    const int roomHeight = std::max(0, area.height - frame.height);
    Rect r;
    r.width = std::max(minimumWidth, std::min(stored.width, roomWidth));
    r.height = std::max(minimumHeight, std::min(stored.height, roomHeight));
    // The whole window, frame and status bar included, on the area: a place
    // stored on a larger screen moves in as far as it must. Where the window
    // cannot fit at its minimum, its title bar stays reachable.
    const auto onto = [](int value, int low, Big high) {
        return static_cast<int>(std::max<Big>(low, std::min<Big>(value, high)));
    };
    r.left = onto(stored.left, area.left, Big(area.left) + area.width - (Big(r.width) + frame.width));
    r.top = onto(stored.top, area.top, Big(area.top) + area.height - (Big(r.height) + frame.height));
    return r;
}

Rect FirstPlace(const Rect &area, int minimumWidth, int minimumHeight, const Frame &frame)
{
    // Most of a laptop's screen, not all of a large monitor's: a tuner keeps
    // the gauges or a log beside it there.
    const int width = std::min(area.width * 9 / 10, std::max(1280, area.width * 3 / 4));
    const int height = std::min(area.height * 9 / 10, std::max(860, area.height * 4 / 5));
    const Rect wanted{area.left + (area.width - width) / 2, area.top + (area.height - height) / 2,
                      width - frame.width, height - frame.height};
    return PlaceWindow(wanted, area, minimumWidth, minimumHeight, frame);
}

} // namespace WindowLayout
