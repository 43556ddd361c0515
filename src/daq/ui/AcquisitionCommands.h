#pragma once

#include "daq/AcquisitionHealth.h"
#include "daq/AcquisitionLoop.h"
#include "daq/AcquisitionSample.h"
#include "daq/AcquisitionThread.h"
#include "link/ui/ConnectionCommands.h"

#include <QElapsedTimer>
#include <QObject>
#include <memory>

class CommandEnabler;
class CVDataAcquisition;
class CVRTLogger;
class DaqSettings;
class LinkSession;
class MainWindow;
class ProgramState;
class QTimer;
class RealTimeSender;
class RealTimeStripView;
class TraceMarks;
struct UiServices;

// Live data in the main window: the acquisition timer timerDAQ, which runs
// one AcquisitionLoop tick per DAQSampleRate milliseconds while real-time
// mode is on, paints the real-time strip and hands the tick's sample to the
// views (traced panels, gauges, 3D view) through sampleTaken. The device
// calls of a tick run on the acquisition thread (AcquisitionThread); the
// rest of the tick runs here once the unit has answered. A tick that comes
// due while the unit still answers the last is skipped and counted, never
// queued; a tick still answering when real-time mode ends is dropped. The
// strip shows the health of the run (AcquisitionHealth). The commands
// of the "&Data Logging" menu that concern the log and "&Staged Rev
// Limiter...". It starts and stops with real-time mode and has its say on
// starting it and on leaving the program (the log that was never saved).
class AcquisitionCommands : public QObject, public RealTimeCompanion, public UnloadParticipant
{
    Q_OBJECT
public:
    struct Parts
    {
        MainWindow &window;
        ProgramState &state;
        DaqSettings &prefs;
        LinkSession &link;
        TraceMarks &marks;
        CVDataAcquisition &daq;
        RealTimeSender &realTime;
        UiServices &ui;
        CommandEnabler &commands;
    };
    explicit AcquisitionCommands(const Parts &parts);
    ~AcquisitionCommands() override;

    // One acquisition tick at once, on this thread, painted (tests, the
    // benchmarks); the timer's ticks go through the acquisition thread.
    void Tick();
    // The timer takes the DAQSampleRate preference (25..2500 ms).
    void ApplySampleRate();

    // "&Save Current Datalog...", "S&ettings..." and "&Staged Rev Limiter...".
    void SaveDatalog();
    void DataLoggingSettings();
    void StagedRevLimiter();
    // Save Current Datalog is offered (once real-time mode ended, until used).
    bool DatalogSaveOffered() const { return m_saveOffered; }

    // RealTimeCompanion: a log never saved is offered first.
    bool MayStartRealTime() override;
    bool EndRealTimeOnExit() const override;
    // UnloadParticipant: "Do you wish to save the last datalog?"
    bool MayUnload() override;

    QTimer *timer() const { return m_timer; }
    CVRTLogger &logger() { return *m_logger; }
    RealTimeStripView *strip() const { return m_strip; }
    AcquisitionLoop &loop() { return m_loop; }
    const AcquisitionHealth &health() const { return m_health; }
    // The unit is answering a tick's calls.
    bool Acquiring() const { return m_thread->Busy(); }
    // The timer's tick: hands the device calls to the acquisition thread,
    // or counts a skip when it still works on the last ones.
    void TimerDue();

signals:
    // After every tick, with what it produced.
    void sampleTaken(const AcquisitionSample &sample);
    // Real-time mode ended: no sample follows until it starts again.
    void samplesStopped();
    // Whether Save Current Datalog is offered changed.
    void changed();

private:
    // Real-time mode switched on: the strip back to its first texts, a new
    // log, the timer started; off: the timer stopped.
    void realTimeStarted();
    void realTimeStopped();
    void cycleDone(CVDataAcquisition::Cycle &cycle);
    // What every tick ends with: strip, health, views, the log's failure.
    void show(const AcquisitionSample &sample);
    void reportLogFailure();
    void offerSave(bool offered);

    MainWindow &m_window;
    ProgramState &m_state;
    DaqSettings &m_prefs;
    UiServices &m_ui;
    std::unique_ptr<CVRTLogger> m_logger;
    AcquisitionLoop m_loop;
    QTimer *m_timer = nullptr;
    RealTimeStripView *m_strip = nullptr;
    bool m_logFailureReported = false;
    bool m_saveOffered = true;
    LinkSession &m_link;
    AcquisitionHealth m_health;
    QElapsedTimer m_clock;
    // Each start and stop of real-time mode is a new run; a cycle answered
    // for an earlier run (or overtaken by a whole Tick) is dropped.
    static constexpr quint64 NoRun = ~quint64(0);
    quint64 m_run = 0;
    quint64 m_cycleRun = 0;
    // Last, so that it goes first: it waits for a device call in flight
    // before anything that call's answer would reach is gone.
    std::unique_ptr<AcquisitionThread> m_thread;
};
