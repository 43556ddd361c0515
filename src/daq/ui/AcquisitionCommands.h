#pragma once

#include "daq/AcquisitionLoop.h"
#include "daq/AcquisitionSample.h"

#include <QObject>
#include <memory>

class ConnectionCommands;
class CVDataAcquisition;
class CVRTLogger;
class QTimer;
class RealTimeSender;
class RealTimeStripView;
class MainWindow;

// Live data in the main window: the acquisition timer timerDAQ, which runs
// one AcquisitionLoop tick per DAQSampleRate milliseconds while real-time
// mode is on, paints the real-time strip and hands the tick's sample to the
// views (traced panels, gauges, 3D view) through sampleTaken; and the
// commands of the "&Data Logging" menu and "&Staged Rev Limiter...".
class AcquisitionCommands : public QObject
{
    Q_OBJECT
public:
    AcquisitionCommands(MainWindow &window, CVDataAcquisition &daq, RealTimeSender &realTime,
                        ConnectionCommands &connection);
    ~AcquisitionCommands() override;

    // Real-time mode switched on: the strip back to its first texts, a new
    // log (offering to save the previous one), the timer started.
    void RealTimeStarted();
    // Real-time mode switched off: the timer stopped.
    void RealTimeStopped();
    // One acquisition tick, painted.
    void Tick();
    // The timer takes the DAQSampleRate preference (25..2500 ms).
    void ApplySampleRate();

    // "&Save Current Datalog...", "S&ettings..." and "&Staged Rev Limiter...".
    void SaveDatalog();
    void DataLoggingSettings();
    void StagedRevLimiter();

    QTimer *timer() const { return m_timer; }
    CVRTLogger &logger() { return *m_logger; }
    RealTimeStripView *strip() const { return m_strip; }
    AcquisitionLoop &loop() { return m_loop; }

signals:
    // After every tick, with what it produced.
    void sampleTaken(const AcquisitionSample &sample);
    // Real-time mode ended: no sample follows until it starts again.
    void samplesStopped();

private:
    void reportLogFailure();

    MainWindow &m_window;
    CVDataAcquisition &m_daq;
    std::unique_ptr<CVRTLogger> m_logger;
    AcquisitionLoop m_loop;
    QTimer *m_timer = nullptr;
    RealTimeStripView *m_strip = nullptr;
    bool m_logFailureReported = false;
};
