#pragma once

#include "analysis/LogPlayback.h"
#include "analysis/PlaybackClock.h"
#include "daq/AcquisitionSample.h"
#include "daq/RealTimeStripText.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class AcquisitionCommands;
class AnalysisCommands;
class CommandEnabler;
class ConnectionCommands;
class DaqSettings;
class DatalogViewer;
class LinkSession;
class MainWindow;
class ProgramState;
class QTimer;
class TraceMarks;

// Playback: the datalog viewer's cursor drives every view live data drives
// (the traced panels, the real-time strip, the gauges, the 3D view) with
// samples made from the log's lines on the tune as it is now, while the
// strip and the status bar say "Playback". Play moves the cursor on at the
// chosen speed, looping between cursors A and B when asked. Playback and
// real-time mode exclude each other: whichever starts ends the other, with a
// word in the status bar. Nothing played back is ever sent to the box.
class PlaybackCommands : public QObject
{
    Q_OBJECT
public:
    struct Parts
    {
        MainWindow &window;
        ProgramState &state;
        TraceMarks &marks;
        DaqSettings &prefs;
        LinkSession &link;
        ConnectionCommands &connection;
        AcquisitionCommands &acquisition;
        AnalysisCommands &analysis;
        CommandEnabler &commands;
    };
    explicit PlaybackCommands(const Parts &parts);
    ~PlaybackCommands() override;

    bool Active() const { return m_active; }
    bool Playing() const;
    // Starts playback on the viewer's log (ending real-time mode) or ends
    // it; false when there is no log to play.
    bool SetActive(bool on);
    // Play or pause; playing starts playback.
    void Play(bool playing);
    void SetSpeed(double speed);
    void SetLoop(bool loop);
    double Speed() const { return m_speed; }
    QTimer *frameTimer() const { return m_frame; }
    // How often play moves the cursor: one screen frame.
    static constexpr int FrameMs = 16;
    // The lines a frame traces on its way at most (16x over a fast log).
    static constexpr std::ptrdiff_t MaxLinesPerFrame = 256;

    // The views show a row of the viewer's log (while playback is on).
    void ShowRow(std::ptrdiff_t row);

signals:
    void sampleTaken(const AcquisitionSample &sample);
    void samplesStopped();
    void changed();

private:
    void attach(DatalogViewer *viewer);
    void frame();
    // Play goes on from the cursor, as from now.
    void anchor();
    void realTimeStarted();
    void say(const char *note);

    MainWindow &m_window;
    ProgramState &m_state;
    TraceMarks &m_marks;
    DaqSettings &m_prefs;
    LinkSession &m_link;
    ConnectionCommands &m_connection;
    AcquisitionCommands &m_acquisition;
    AnalysisCommands &m_analysis;
    CommandEnabler &m_commands;
    QPointer<DatalogViewer> m_viewer;
    LogPlayback::Columns m_columns;
    RealTimeStrip m_strip;
    QTimer *m_frame = nullptr;
    QElapsedTimer m_clock;
    double m_from = 0; // the log time play went on from
    double m_speed = 1.0;
    bool m_loop = false;
    bool m_active = false;
    bool m_stepping = false; // play itself is moving the cursor
};
