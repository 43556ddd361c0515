// The main window's unload: the questions that may keep the program running,
// then the other windows, the geometry and the recently used list.

#include "shell/frmMain.h"

#include "model/ProgramState.h"
#include "platform/Rounding.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "daq/DaqSettings.h"
#include "shell/MainWindowPrefs.h"
#include "shell/WindowSettings.h"
#include "platform/SettingsStore.h"

#include <QApplication>
#include <QCloseEvent>

bool frmMain::mayUnload()
{
    if (m_state.Modified) {
        const MsgAnswer answer =
            m_ui.messages.show(this, "Save changes before exiting?", MsgIcon::Question, MsgButtons::YesNoCancel);
        if (answer == MsgAnswer::Cancel)
            return false;
        // A save cancelled or failed keeps the program, and the changes, running.
        if (answer == MsgAnswer::Yes && !(m_hooks.onSaveBeforeExit && m_hooks.onSaveBeforeExit()))
            return false;
    }
    return !m_hooks.offerToSaveLog || m_hooks.offerToSaveLog();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_unloading) {
        event->accept();
        return;
    }
    // Asked first, so that a Cancel leaves everything as it was.
    if (!mayUnload()) {
        event->ignore();
        return;
    }
    m_unloading = true;
    if (m_state.RealTimeEnabled && m_prefs.daq.StagedRevLimiterEnabled() && m_hooks.switchRealTimeOff)
        m_hooks.switchRealTimeOff();

    // Close every other open window, the most recently opened first.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (*it != this && (*it)->isVisible())
            (*it)->close();

    if (!isMinimized()) {
        const QRect frame = frameGeometry();
        m_prefs.window.SetWndLeftPos(static_cast<int>(vnt::RoundHalfEven(ToTwips(frame.x()))));
        m_prefs.window.SetWndTopPos(static_cast<int>(vnt::RoundHalfEven(ToTwipsY(frame.y()))));
        m_prefs.window.SetWndWidth(static_cast<int>(vnt::RoundHalfEven(ToTwips(width()))));
        m_prefs.window.SetWndHeight(static_cast<int>(vnt::RoundHalfEven(ToTwipsY(height()))));
    }
    m_mru.Save(m_prefs.store);
    m_prefs.store.Flush();
    event->accept();
}
