#pragma once

#include <QObject>

class DaqSettings;
class GaugesWindow;
class ProgramState;
class WindowPlaces;

// View > "&Gauges": the gauges window, shown and hidden by its item, which
// follows the window's own close button.
class GaugesCommands : public QObject
{
    Q_OBJECT
public:
    GaugesCommands(WindowPlaces &places, const ProgramState &state, const DaqSettings &prefs);

    GaugesWindow &window() const { return *m_gauges; }

private:
    GaugesWindow *m_gauges = nullptr; // a window owned by the main window
};
