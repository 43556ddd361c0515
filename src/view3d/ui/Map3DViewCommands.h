#pragma once

#include <QObject>

class CVFuelTimingDlg;
class LinkSession;
class MainWindow;
class Map3DView;
class ProgramState;
class QAction;
class QDockWidget;
class TraceMarks;
struct AcquisitionSample;
struct UiServices;

// View > "&3D Map View": the 3D surface of the map on show, in a dock beside
// (or, moved by the user, below) the grid. It follows the selected map, every
// change of the grid (edits, refills, trace colours) and the live cell of
// each acquisition tick. Where the display has no OpenGL the dock stays
// hidden and the menu item says why.
class Map3DViewCommands : public QObject
{
    Q_OBJECT
public:
    Map3DViewCommands(MainWindow &window, const ProgramState &state, const TraceMarks &marks,
                      const LinkSession &link, UiServices &ui, CVFuelTimingDlg &grid);

    // The menu item: shows or hides the dock.
    void Toggle(bool show);

    void TakeSample(const AcquisitionSample &sample);

    QDockWidget *dock() const { return m_dock; }
    Map3DView *view() const { return m_view; }

private:
    MainWindow &m_window;
    const ProgramState &m_state;
    UiServices &m_ui;
    QAction *mnuView3DMap = nullptr;
    QDockWidget *m_dock = nullptr;
    Map3DView *m_view = nullptr;
};
