#pragma once

#include <array>

// The nodes of the navigation tree, in the order BuildTree adds them.
struct NavigationNode
{
    const char *key;
    const char *caption;
    const char *parentKey; // nullptr for a top-level node
    const char *icon;      // key in the tree's image list, nullptr for none
    int panel;             // panel index the node shows
    const char *container; // name of the panel container
};

inline constexpr int NavigationNodeCount = 13;
const std::array<NavigationNode, NavigationNodeCount> &NavigationNodes();

// Panel index of the node at (1-based) position: the position itself, plus
// one from node 6 on (panel index 6 is reserved and has no node).
inline int PanelOfNodePosition(int position) { return position >= 6 ? position + 1 : position; }
inline bool IsMapPanel(int panel) { return panel >= 7 && panel <= 12; }
inline constexpr int VQPanel = 13;
inline constexpr int PanelCount = 15;
