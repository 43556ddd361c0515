#pragma once

#include "link/Handshake.h"

#include <QObject>
#include <functional>

class BoxContents;
class frmMain;
class RealTimeSender;
class SerialPort;

// The commands that talk to the box: Connect/Disconnect, Read, Write and the
// Real-Time Mode switch, with their questions and the window state they set.
class ConnectionCommands : public QObject
{
    Q_OBJECT
public:
    ConnectionCommands(frmMain &window, SerialPort &port, RealTimeSender &realTime, HandshakeTimings timings = {});

    void Connect();
    // True when the whole tune was read.
    bool Read();
    void Write();
    void RealTimeMode();

    // Real-time mode's companions (acquisition timer, data log), attached by
    // the data-acquisition side of the window.
    std::function<void()> onRealTimeStarted;
    // Asked before the mode switches on; false keeps it off (the previous
    // data log was not dealt with).
    std::function<bool()> mayStartRealTime;
    std::function<void()> onRealTimeStopped;

    // What the box holds, kept up to date by reads and writes (for the write
    // of the changes only); none when not attached.
    BoxContents *box = nullptr;

private:
    void setEnabled(const char *name, bool enabled);

    frmMain &m_window;
    SerialPort &m_port;
    RealTimeSender &m_realTime;
    HandshakeTimings m_timings;
};
