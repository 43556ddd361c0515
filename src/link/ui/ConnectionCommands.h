#pragma once

#include "link/Handshake.h"
#include "link/ui/TuneTransfer.h"
#include "shell/MainWindow.h"

#include <QObject>
#include <optional>

class CommandEnabler;
class LinkSettings;
class ProgramState;
class QAction;
class RealTimeSender;
class SerialPort;
struct UiServices;

// What real-time mode's companion (the acquisition: its timer and its data
// log) decides about the mode.
class RealTimeCompanion
{
public:
    // Asked before the mode switches on; false keeps it off (the previous
    // data log was not dealt with).
    virtual bool MayStartRealTime() = 0;
    // Asked as the program ends while the mode is on: true when the mode
    // must be switched off first, so the tune's rev limit goes back into
    // the box.
    virtual bool EndRealTimeOnExit() const = 0;

protected:
    ~RealTimeCompanion() = default;
};

// The commands that talk to the box: Connect/Disconnect, Read, Write, Write
// Changes and the Real-Time Mode switch, with their questions; Options >
// Connection Settings; and the window's view of the link's state (status
// panels, the connect and real-time items' captions, tooltips and check
// marks), which follows the link session.
class ConnectionCommands : public QObject, public UnloadParticipant
{
    Q_OBJECT
public:
    struct Parts
    {
        MainWindow &window;
        ProgramState &state;
        LinkSession &link;
        LinkSettings &prefs;
        SerialPort &port;
        RealTimeSender &realTime;
        UiServices &ui;
        CommandEnabler &commands;
        UnsavedChangesGuard &unsavedChanges;
        RealTimeCompanion &companion;
        HandshakeTimings timings = {};
    };
    explicit ConnectionCommands(const Parts &parts);

    // Connects (then offers the read), or disconnects when connected.
    void Connect();
    // Connects without the read that follows; true when connected, at once
    // when already so.
    bool EnsureConnected();
    // True when the whole tune was read.
    bool Read();
    void Write();
    // "Write C&hanges to Vantrelle...": writes only the items the box does not
    // hold as the tune has them, with the write's question, dialog and
    // messages; says so when there is nothing to write.
    void WriteChanges();
    void RealTimeMode();
    void ConnectionSettings();

    // UnloadParticipant: the mode ends before the program when the companion
    // asks for it.
    bool MayUnload() override { return true; }
    void Unloading() override;

private:
    void showLinkState();
    // The port died: once no dialog is open (the command that ran one has
    // finished with it), the link goes to the disconnected state and the
    // user is told once.
    void portLost();
    void reportLostPort();
    void writeFailed(std::optional<TuneItem> item);
    TuneTransferContext transfer();
    void disconnect();

    MainWindow &m_window;
    ProgramState &m_state;
    LinkSession &m_link;
    LinkSettings &m_prefs;
    SerialPort &m_port;
    RealTimeSender &m_realTime;
    UiServices &m_ui;
    UnsavedChangesGuard &m_unsavedChanges;
    RealTimeCompanion &m_companion;
    HandshakeTimings m_timings;
    bool m_lostPending = false;
    bool m_realTimeShown = false;

    QAction *mnuOptionsConnect = nullptr;
    QAction *mnuOptionsRealTime = nullptr;
    QAction *tbConnect = nullptr;
    QAction *tbRealTime = nullptr;
};
