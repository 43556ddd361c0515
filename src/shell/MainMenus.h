#pragma once

#include "shell/MainWindow.h"

class QIcon;
class QMainWindow;
class QStatusBar;
class QToolBar;
struct ConnectionStateRow;

// The main window's menu bar, toolbar and status bar: what they hold, under
// the system's control names, handed back as typed handles.

// An icon of the program's resources by key ("Open", "Fuel", ...).
QIcon ShellIcon(const char *key);

struct MainMenuBar
{
    MainActions actions;
    QMenu *file = nullptr;
    // The recently used entries go between these two separators.
    QAction *mruDivider = nullptr;
    QAction *binSep = nullptr;
};

// The menus of the window's menu bar; the toolbar buttons are added to
// actions by CreateToolBar.
MainMenuBar CreateMenus(QMainWindow &window);
QToolBar *CreateToolBar(QMainWindow &window, MainActions &actions);
// The panels of the status bar and its clock.
StatusPanels CreateStatusPanels(QStatusBar &bar);

// Shows a connection state's changes in the menus, toolbar and status bar.
void ShowConnectionState(const ConnectionStateRow &row, const MainActions &actions, const StatusPanels &panels);
