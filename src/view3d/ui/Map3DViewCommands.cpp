#include "view3d/ui/Map3DViewCommands.h"

#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/MapPanels.h"
#include "editors/ui/MapGridModel.h"
#include "model/ProgramState.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "platform/ui/Actions.h"
#include "link/LinkSession.h"
#include "shell/MainWindow.h"
#include "view3d/ui/Map3DView.h"

#include <QDockWidget>

Map3DViewCommands::Map3DViewCommands(MainWindow &window, const ProgramState &state, const TraceMarks &marks,
                                     const LinkSession &link, UiServices &ui, CVFuelTimingDlg &grid)
    : QObject(window.DialogParent()), m_window(window), m_state(state), m_ui(ui)
{
    m_dock = new QDockWidget(QStringLiteral("3D Map View"), window.DialogParent());
    m_dock->setObjectName(QStringLiteral("dock3DMapView"));
    m_dock->setAllowedAreas(Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    m_view = new Map3DView(state, marks, [&grid](MapKey body) { return grid.ColourScaleOf(body); }, m_dock);
    m_dock->setWidget(m_view);
    window.AddDock(m_dock);
    m_dock->hide();

    mnuView3DMap = NewAction(this, "&3D Map View", "mnuView3DMap", true);
    window.AddAction(MenuPlace::ViewWindows, mnuView3DMap);
    QAction *item = mnuView3DMap;
    connect(item, &QAction::triggered, this, &Map3DViewCommands::Toggle);
    // The dock's own close button unticks the item.
    connect(m_dock, &QDockWidget::visibilityChanged, item, [this, item] {
        if (!m_window.DialogParent()->isMinimized())
            item->setChecked(m_dock->isVisible());
    });
    connect(&window.Events(), &MainWindowEvents::panelSelected, m_view, &Map3DView::ShowMap);
    connect(grid.gridModel(), &QAbstractItemModel::dataChanged, m_view, &Map3DView::Refresh);
    connect(&grid, &CVFuelTimingDlg::coloursChanged, m_view, &Map3DView::Refresh);
    // The live cell belongs to a running acquisition only.
    connect(&link, &LinkSession::realTimeStopped, m_view, &Map3DView::ClearLiveCells);
}

void Map3DViewCommands::Toggle(bool show)
{
    QAction *item = mnuView3DMap;
    if (!show) {
        m_dock->hide();
        return;
    }
    if (!m_view->EnsureGraph()) {
        item->setChecked(false);
        m_dock->hide();
        m_ui.messages.exclamation(m_window.DialogParent(), m_view->UnavailableReason());
        return;
    }
    const int panel = m_state.CurrentPanel;
    if (MapPanels::IsMapPanel(panel))
        m_view->ShowMap(panel);
    m_dock->show();
    m_dock->raise();
    item->setChecked(true);
}

void Map3DViewCommands::TakeSample(const AcquisitionSample &sample)
{
    m_view->TakeSample(sample);
}
