// The main window's unload: the questions that may keep the program running,
// then the other windows, the geometry and the recently used list.

#include "shell/frmMain.h"

#include "platform/Rounding.h"
#include "platform/SettingsStore.h"
#include "shell/WindowSettings.h"

#include <QApplication>
#include <QCloseEvent>

void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_unloading) {
        event->accept();
        return;
    }
    // Asked first, so that a Cancel leaves everything as it was.
    for (UnloadParticipant *participant : m_unloadParticipants) {
        if (!participant->MayUnload()) {
            event->ignore();
            return;
        }
    }
    m_unloading = true;
    for (UnloadParticipant *participant : m_unloadParticipants)
        participant->Unloading();

    // Close every other open window, the most recently opened first.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (*it != this && (*it)->isVisible())
            (*it)->close();

    if (!isMinimized()) {
        const QRect frame = frameGeometry();
        m_prefs.SetWndLeftPos(vnt::R(ToTwips(frame.x())));
        m_prefs.SetWndTopPos(vnt::R(ToTwipsY(frame.y())));
        m_prefs.SetWndWidth(vnt::R(ToTwips(width())));
        m_prefs.SetWndHeight(vnt::R(ToTwipsY(height())));
    }
    m_mru.Save(m_store);
    m_store.Flush();
    event->accept();
}
