#include "daq/ui/AcquisitionCommands.h"

#include "daq/CVDataAcquisition.h"
#include "daq/CVRTLogger.h"
#include "daq/ui/RealTimeStripView.h"
#include "daq/ui/dlgDataLoggingSettings.h"
#include "daq/ui/dlgStagedRevLimiter.h"
#include "daq/DaqSettings.h"
#include "model/ProgramState.h"
#include "platform/UiServices.h"
#include "link/ui/ConnectionCommands.h"
#include "shell/MainWindow.h"
#include "shell/MainWindowPrefs.h"

#include <QAction>
#include <QLayout>
#include <QTimer>
#include <algorithm>

AcquisitionCommands::AcquisitionCommands(MainWindow &window, CVDataAcquisition &daq, RealTimeSender &realTime,
                                         ConnectionCommands &connection)
    : QObject(window.DialogParent()), m_window(window), m_daq(daq),
      m_logger(std::make_unique<CVRTLogger>(window.Prefs().daq, window.Ui().messages, window.Ui().files)),
      m_loop(daq, window.Prefs().daq, window.State(), realTime)
{
    qRegisterMetaType<AcquisitionSample>();
    m_logger->SetDialogParent(window.DialogParent());
    m_loop.SetLogSink(m_logger.get());

    m_timer = new QTimer(this);
    m_timer->setObjectName("timerDAQ");
    connect(m_timer, &QTimer::timeout, this, &AcquisitionCommands::Tick);

    m_strip = new RealTimeStripView(window.RealTimeStrip());
    if (QLayout *layout = window.RealTimeStrip()->layout()) {
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_strip);
    }

    connection.onRealTimeStarted = [this] { RealTimeStarted(); };
    // Neither a new run nor the exit discards a log that was never saved
    // without asking.
    connection.mayStartRealTime = [this] { return m_logger->OfferToSaveLog(); };
    window.Hooks().offerToSaveLog = [this] { return m_logger->OfferToSaveLog(); };
    connection.onRealTimeStopped = [this] { RealTimeStopped(); };
    const MainActions &actions = window.Actions();
    connect(actions.mnuDataLoggingSave, &QAction::triggered, this, &AcquisitionCommands::SaveDatalog);
    connect(actions.mnuDataLoggingSettings, &QAction::triggered, this, &AcquisitionCommands::DataLoggingSettings);
    connect(actions.mnuToolsStagedRevLimiter, &QAction::triggered, this, &AcquisitionCommands::StagedRevLimiter);
}

AcquisitionCommands::~AcquisitionCommands() = default;

void AcquisitionCommands::RealTimeStarted()
{
    m_loop.ResetStrip();
    m_strip->Show(m_loop.Strip());
    m_logger->CreateNewLogFile();
    m_logFailureReported = false;
    ApplySampleRate();
    m_timer->start();
}

void AcquisitionCommands::RealTimeStopped()
{
    m_timer->stop();
    emit samplesStopped();
}

void AcquisitionCommands::ApplySampleRate()
{
    m_timer->setInterval(m_window.Prefs().daq.SamplePeriodMs());
}

void AcquisitionCommands::Tick()
{
    const AcquisitionSample sample = m_loop.Tick();
    m_strip->Show(m_loop.Strip());
    emit sampleTaken(sample);
    if (m_logger->WriteFailed() && !m_logFailureReported)
        reportLogFailure();
}

void AcquisitionCommands::reportLogFailure()
{
    // Once per log: the timer goes on firing while the message is up.
    m_logFailureReported = true;
    m_window.Ui().messages.exclamation(
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
    m_logger->SaveLogFile(false);
    m_window.Actions().mnuDataLoggingSave->setEnabled(false);
}

void AcquisitionCommands::DataLoggingSettings()
{
    dlgDataLoggingSettings dialog(m_window.Prefs().daq, m_window.DialogParent());
    dialog.exec();
}

void AcquisitionCommands::StagedRevLimiter()
{
    dlgStagedRevLimiter dialog(m_window.Prefs().daq, m_window.State(), m_window.Ui().messages,
                               m_window.DialogParent());
    dialog.exec();
}
