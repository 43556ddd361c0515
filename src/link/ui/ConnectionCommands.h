#pragma once

#include "link/Handshake.h"
#include "link/LinkOutcome.h"

#include <QObject>
#include <functional>

class BoxContents;
class MainWindow;
class RealTimeSender;
class SerialPort;

// The commands that talk to the box: Connect/Disconnect, Read, Write and the
// Real-Time Mode switch, with their questions and the window state they set;
// and Options > Connection Settings.
class ConnectionCommands : public QObject
{
    Q_OBJECT
public:
    ConnectionCommands(MainWindow &window, SerialPort &port, RealTimeSender &realTime, HandshakeTimings timings = {});

    void Connect();
    // True when the whole tune was read.
    bool Read();
    void Write();
    void RealTimeMode();
    void ConnectionSettings();

    // A real-time write has ended: what the box holds follows it, and a write
    // that failed leaves its change waiting to be sent (ChangesNotSent) and
    // says so in the status bar.
    void RealTimeWriteEnded(const QByteArray &frame, const LinkOutcome &outcome);

    // Real-time mode's companions (acquisition timer, data log), attached by
    // the data-acquisition side of the window.
    std::function<void()> onRealTimeStarted;
    // Asked before the mode switches on; false keeps it off (the previous
    // data log was not dealt with).
    std::function<bool()> mayStartRealTime;
    std::function<void()> onRealTimeStopped;
    // A read or write of the box has ended (whole or not, or a real-time write
    // went through): what is known of the box changed.
    std::function<void()> onBoxTransferred;

    // What the box holds, kept up to date by reads and writes (for the write
    // of the changes only); none when not attached.
    BoxContents *box = nullptr;

private:
    // The port died: once no dialog is open (the command that ran one has
    // finished with it), the window goes to the disconnected state and the
    // user is told once.
    void portLost();
    void reportLostPort();

    MainWindow &m_window;
    SerialPort &m_port;
    RealTimeSender &m_realTime;
    HandshakeTimings m_timings;
    bool m_lostPending = false;
};
