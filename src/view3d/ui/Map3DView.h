#pragma once

#include "model/MapCatalogue.h"
#include "view3d/MapSurfaceData.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QLabel;
class QSurface3DSeries;
class QTimer;
class Q3DSurface;
struct AcquisitionSample;
class ProgramState;
class TraceMarks;

// The 3D surface of one map body: load across, RPM in depth, the display
// value as height, each cell coloured as in the grid (its scale, the trace's
// colour where the live trace is). The right mouse button rotates, the wheel
// zooms, a click selects a cell.
//
// The graph needs OpenGL. It is created on first use (EnsureGraph), after
// asking the display for a context; without one the view creates nothing
// and reports why, so the caller can keep it hidden.
//
// Changes are collected and drawn once per pass of the event loop, so a
// grid refill or an acquisition tick that touches several cells redraws once;
// nothing is drawn while the view is hidden.
class Map3DView : public QWidget
{
    Q_OBJECT
public:
    // coloursOf gives the colours a body map is shown in (the grid's).
    Map3DView(const ProgramState &state, const TraceMarks &marks,
              std::function<CellColours::ColourScale(MapKey)> coloursOf, QWidget *parent = nullptr);
    ~Map3DView() override;

    // Creates the graph unless already done; false when this display has no
    // OpenGL (UnavailableReason says why).
    bool EnsureGraph();
    bool HasGraph() const { return m_graph != nullptr; }
    QString UnavailableReason() const { return m_unavailable; }

    // Shows the body map of a map panel (7..12); other panels keep the map
    // on show (and have it looked at again).
    void ShowMap(int panel);
    int ShownPanel() const { return m_panel; }

    // The tune or the trace changed: redraw soon.
    void Refresh();
    // Redraws now (also while hidden).
    void RefreshNow();

    // An acquisition tick: the traced cells become the live cells.
    void TakeSample(const AcquisitionSample &sample);
    // Real-time mode ended: no live cell any more.
    void ClearLiveCells();

    // The map as last built (what the graph shows while visible).
    const MapSurfaceData &Data() const { return m_data; }
    Q3DSurface *graph() const { return m_graph; }
    QSurface3DSeries *series() const { return m_series; }
    // Redraws of the graph so far (each rebuilds the surface, its colours or
    // the live-cell mark).
    int RedrawCount() const { return m_redraws; }

    // A third of the screen's width beside the grid, where labels read.
    QSize sizeHint() const override;

    // The surface's colouring: one block of blockPixels square per cell,
    // the cell of RPM index r and TP index c at block column c and block row
    // 15 - r (the graph lays the image's top edge along the highest RPM).
    static QImage SurfaceTexture(const MapSurfaceData &data, int blockPixels = 8);

    // Surface updates asked of the graph because its window was shown,
    // uncovered or activated.
    int UpdateRequests() const { return m_updateRequests; }

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pushToGraph(const MapSurfaceData &next);
    // The graph draws itself only when asked: after its window was covered
    // and uncovered, shown again or activated, it is asked to draw anew.
    void requestSurfaceUpdate();

    const ProgramState &m_state;
    const TraceMarks &m_marks;
    std::function<CellColours::ColourScale(MapKey)> m_coloursOf;
    int m_panel = 7;
    std::array<std::optional<LiveCell>, 16> m_live{}; // by panel index
    MapSurfaceData m_data;
    std::optional<MapSurfaceData> m_pushed; // what the graph shows
    int m_redraws = 0;
    int m_updateRequests = 0;
    QString m_unavailable;
    QTimer *m_refresh = nullptr;
    QLabel *m_placeholder = nullptr;
    Q3DSurface *m_graph = nullptr;       // owned by its window container
    QSurface3DSeries *m_series = nullptr; // owned by the graph
};
