#include "daq/ui/AcquisitionCommands.h"

#include "commands/ui/CommandEnabler.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVRTLogger.h"
#include "daq/DaqSettings.h"
#include "daq/ui/RealTimeStripView.h"
#include "daq/ui/dlgDataLoggingSettings.h"
#include "daq/ui/dlgStagedRevLimiter.h"
#include "link/LinkSession.h"
#include "model/ProgramState.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "platform/ui/Actions.h"
#include "shell/MainWindow.h"

#include <QDir>
#include <QLayout>
#include <QTimer>

AcquisitionCommands::AcquisitionCommands(const Parts &parts)
    : QObject(parts.window.DialogParent()), m_window(parts.window), m_state(parts.state), m_prefs(parts.prefs),
      m_ui(parts.ui), m_logger(std::make_unique<CVRTLogger>(parts.prefs, parts.ui.messages, parts.ui.files)),
      m_loop(parts.daq, parts.prefs, parts.state.tune, parts.marks, parts.link, parts.realTime), m_link(parts.link),
      m_thread(std::make_unique<AcquisitionThread>(parts.daq))
{
    m_clock.start();
    connect(m_thread.get(), &AcquisitionThread::cycleDone, this, &AcquisitionCommands::cycleDone);
    qRegisterMetaType<AcquisitionSample>();
    m_logger->SetDialogParent(m_window.DialogParent());
    m_loop.SetLogSink(m_logger.get());

    m_timer = new QTimer(this);
    m_timer->setObjectName("timerDAQ");
    connect(m_timer, &QTimer::timeout, this, &AcquisitionCommands::TimerDue);

    m_strip = new RealTimeStripView(m_window.RealTimeStrip());
    if (QLayout *layout = m_window.RealTimeStrip()->layout()) {
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_strip);
    }

    QAction *staged = NewAction(this, "&Staged Rev Limiter...", "mnuToolsStagedRevLimiter");
    QAction *save = NewAction(this, "&Save Current Datalog...", "mnuDataLoggingSave");
    QAction *settings = NewAction(this, "S&ettings...", "mnuDataLoggingSettings");
    m_window.AddAction(MenuPlace::ToolsLive, staged);
    m_window.AddAction(MenuPlace::DataLoggingLog, save);
    m_window.AddAction(MenuPlace::DataLoggingSettings, settings);
    parts.commands.Register(Command::StagedRevLimiter, staged);
    parts.commands.Register(Command::SaveDatalog, save);
    connect(staged, &QAction::triggered, this, &AcquisitionCommands::StagedRevLimiter);
    connect(save, &QAction::triggered, this, &AcquisitionCommands::SaveDatalog);
    connect(settings, &QAction::triggered, this, &AcquisitionCommands::DataLoggingSettings);

    connect(&parts.link, &LinkSession::realTimeStarted, this, &AcquisitionCommands::realTimeStarted);
    connect(&parts.link, &LinkSession::realTimeStopped, this, &AcquisitionCommands::realTimeStopped);
    m_window.AddUnloadParticipant(this);
}

AcquisitionCommands::~AcquisitionCommands() = default;

bool AcquisitionCommands::MayStartRealTime()
{
    // A new run does not discard a log that was never saved without asking.
    return m_logger->OfferToSaveLog();
}

bool AcquisitionCommands::EndRealTimeOnExit() const
{
    return m_prefs.StagedRevLimiterEnabled();
}

bool AcquisitionCommands::MayUnload()
{
    return m_logger->OfferToSaveLog();
}

void AcquisitionCommands::offerSave(bool offered)
{
    if (offered == m_saveOffered)
        return;
    m_saveOffered = offered;
    emit changed();
}

void AcquisitionCommands::realTimeStarted()
{
    m_loop.ResetStrip();
    m_strip->Show(m_loop.Strip());
    m_logger->CreateNewLogFile();
    m_logger->SetAcquiring(true);
    offerSave(false);
    m_logFailureReported = false;
    m_health.Reset();
    ++m_run;
    ApplySampleRate();
    m_timer->start();
}

void AcquisitionCommands::realTimeStopped()
{
    m_timer->stop();
    ++m_run;
    m_logger->SetAcquiring(false);
    offerSave(true);
    emit samplesStopped();
}

void AcquisitionCommands::ApplySampleRate()
{
    m_timer->setInterval(m_prefs.SamplePeriodMs());
}

void AcquisitionCommands::Tick()
{
    // A cycle still with the acquisition thread holds older readings than
    // this tick's: its answer must not come after them.
    if (m_thread->Busy())
        m_cycleRun = NoRun;
    show(m_loop.Tick());
}

void AcquisitionCommands::TimerDue()
{
    if (m_thread->Busy()) {
        m_health.NoteSkipped();
        return;
    }
    m_cycleRun = m_run;
    m_thread->Start(m_loop.BeginAcquire());
}

void AcquisitionCommands::cycleDone(CVDataAcquisition::Cycle &cycle)
{
    // Real-time mode ended (or ended and started again) while the unit
    // answered: nothing of it may reach the box, the log or the views.
    if (m_cycleRun != m_run || !m_link.RealTimeEnabled())
        return;
    show(m_loop.Complete(m_loop.EndAcquire(cycle)));
}

void AcquisitionCommands::show(const AcquisitionSample &sample)
{
    if (sample.acquired)
        m_health.NoteCompleted(m_clock.elapsed());
    m_strip->Show(m_loop.Strip());
    m_strip->ShowHealth(m_health.Text(m_link.LastRealTimeRoundTripMs()));
    emit sampleTaken(sample);
    if (m_logger->WriteFailed() && !m_logFailureReported)
        reportLogFailure();
}

void AcquisitionCommands::reportLogFailure()
{
    // Once per log: the timer goes on firing while the message is up.
    m_logFailureReported = true;
    m_ui.messages.exclamation(
        m_window.DialogParent(),
        QStringLiteral("The datalog could not be written: %1\n\nLogging has stopped. The %2 samples logged before "
                       "are kept in %3; save them with Data Logging > Save Current Datalog... once real-time mode "
                       "is off.")
            .arg(m_logger->WriteError())
            .arg(m_logger->Samples())
            .arg(m_logger->LogFileName()));
}

void AcquisitionCommands::SaveDatalog()
{
    const bool held = m_logger->IsLogOpen();
    m_logger->SaveLogFile(false);
    // A save replaces the log: it is no longer open once written.
    if (held && !m_logger->IsLogOpen())
        m_window.ShowStatusMessage("Saved the datalog to " + QDir::toNativeSeparators(m_logger->LastSavedPath()),
                                   StatusLine::StatusMessageMs);
    offerSave(false);
}

void AcquisitionCommands::DataLoggingSettings()
{
    dlgDataLoggingSettings dialog(m_prefs, m_window.DialogParent());
    dialog.exec();
}

void AcquisitionCommands::StagedRevLimiter()
{
    dlgStagedRevLimiter dialog(m_prefs, m_state.tune, m_ui.messages, m_window.DialogParent());
    dialog.exec();
}
