#pragma once

#include <QObject>

class CVFuelTimingDlg;
class Map3DView;
class QDockWidget;
class MainWindow;
struct AcquisitionSample;

// View > "&3D Map View": the 3D surface of the map on show, in a dock beside
// (or, moved by the user, below) the grid. It follows the selected map, every
// change of the grid (edits, refills, trace colours) and the live cell of
// each acquisition tick. Where the display has no OpenGL the dock stays
// hidden and the menu item says why.
class Map3DViewCommands : public QObject
{
    Q_OBJECT
public:
    Map3DViewCommands(MainWindow &window, CVFuelTimingDlg &grid);

    // The menu item: shows or hides the dock.
    void Toggle(bool show);

    void TakeSample(const AcquisitionSample &sample);

    QDockWidget *dock() const { return m_dock; }
    Map3DView *view() const { return m_view; }

private:
    MainWindow &m_window;
    QDockWidget *m_dock = nullptr;
    Map3DView *m_view = nullptr;
};
