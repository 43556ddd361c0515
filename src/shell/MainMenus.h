#pragma once

#include "shell/MainWindow.h"

#include <array>

class QMainWindow;
class QStatusBar;
class QToolBar;

// The main window's menu bar, toolbar and status bar: the menus with their
// groups (each a hidden anchor the group's items go before), the window's
// own items, and the status panels, under the system's control names.
struct MainMenuBar
{
    static constexpr int PlaceCount = static_cast<int>(MenuPlace::HelpAbout) + 1;
    std::array<QMenu *, PlaceCount> menus{};
    std::array<QAction *, PlaceCount> anchors{};

    QMenu *file = nullptr;
    // The recently used entries go between these two separators.
    QAction *mruDivider = nullptr;
    QAction *binSep = nullptr;
    QMenu *cell = nullptr;
    // The window's own items.
    QAction *mnuFileClose = nullptr;
    QAction *mnuViewToolbar = nullptr;
    QAction *mnuViewStatusBar = nullptr;

    // Puts an item or a submenu at the end of its group.
    void Add(MenuPlace place, QAction *action) const;
};

MainMenuBar CreateMenus(QMainWindow &window);

// The toolbar and the anchors of its two groups.
struct MainToolBar
{
    QToolBar *bar = nullptr;
    QAction *fileAnchor = nullptr;
    QAction *linkAnchor = nullptr;
};
MainToolBar CreateToolBar(QMainWindow &window);

// The panels of the status bar and its clock.
StatusPanels CreateStatusPanels(QStatusBar &bar);
