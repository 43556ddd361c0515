#include "shell/MainLayout.h"

#include "model/Rounding.h"

#include <algorithm>

namespace MainLayout {

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
    const int strip = r.stripVisible ? std::min(in.stripHeight, height) : 0;
    r.panel = {x + PanelGap, in.clientTop, panelWidth, height - strip};
    if (r.stripVisible)
        r.strip = {x + PanelGap, in.clientTop + height - strip, panelWidth, strip};
    return r;
}

int ClampSplitter(int proposedLeft, int windowWidth)
{
    // The right limit wins when the window is too narrow for both.
    return std::min(std::max(proposedLeft, SplitterMargin), windowWidth - SplitterMargin);
}

} // namespace MainLayout
