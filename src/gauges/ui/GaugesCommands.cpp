#include "gauges/ui/GaugesCommands.h"

#include "gauges/ui/GaugesWindow.h"
#include "platform/ui/Actions.h"
#include "shell/MainWindow.h"

GaugesCommands::GaugesCommands(WindowPlaces &places, const ProgramState &state, const DaqSettings &prefs)
    : QObject(places.DialogParent())
{
    m_gauges = new GaugesWindow(state, prefs, places.DialogParent());
    QAction *item = NewAction(this, "&Gauges", "mnuViewGauges", true);
    places.AddAction(MenuPlace::ViewWindows, item);
    connect(item, &QAction::triggered, m_gauges, [gauges = m_gauges](bool show) {
        gauges->setVisible(show);
        if (show) {
            gauges->raise();
            gauges->activateWindow();
        }
    });
    connect(m_gauges, &GaugesWindow::shownChanged, item, &QAction::setChecked);
}
