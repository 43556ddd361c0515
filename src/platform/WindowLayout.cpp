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

Rect PlaceWindow(const Rect &stored, const Rect &area, int minimumWidth, int minimumHeight)
{
    // 64 bits: stored values may be anything a hand-edited settings file holds.
    using Big = long long;
    Rect r = stored;
    r.width = std::max(minimumWidth, std::min(stored.width, area.width));
    r.height = std::max(minimumHeight, std::min(stored.height, area.height));
    const Big areaRight = Big(area.left) + area.width;
    const Big areaBottom = Big(area.top) + area.height;
    const bool offArea = Big(r.left) + r.width <= area.left || r.left >= areaRight ||
                         Big(r.top) + r.height <= area.top || r.top >= areaBottom;
    const auto onto = [](int value, int low, Big high) {
        return static_cast<int>(std::max<Big>(low, std::min<Big>(value, high)));
    };
    if (offArea) {
        r.left = onto(r.left, area.left, areaRight - r.width);
        r.top = onto(r.top, area.top, areaBottom - r.height);
    }
    r.top = std::max(r.top, area.top);
    return r;
}

} // namespace WindowLayout
