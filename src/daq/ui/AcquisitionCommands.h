#pragma once

#include "daq/AcquisitionLoop.h"
#include "daq/AcquisitionSample.h"
#include "link/ui/ConnectionCommands.h"

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
// views (traced panels, gauges, 3D view) through sampleTaken; the commands
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

    // One acquisition tick, painted.
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
};
