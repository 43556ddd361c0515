#include "daq/ui/AcquisitionCommands.h"

#include "daq/CVDataAcquisition.h"
#include "daq/CVRTLogger.h"
#include "daq/ui/RealTimeStripView.h"
#include "daq/ui/dlgDataLoggingSettings.h"
#include "daq/ui/dlgStagedRevLimiter.h"
#include "shell/Panels.h"
#include "model/ProgramState.h"
#include "platform/UiServices.h"
#include "link/ui/ConnectionCommands.h"
#include "shell/MainWindow.h"
#include "shell/prefs/CVUserPrefs.h"

#include <QAction>
#include <QLayout>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int MinSamplePeriod = 25;
constexpr int MaxSamplePeriod = 2500;

std::optional<quint32> thresholdColor(const CVDAQInput &input)
{
    if (!input.ThresholdsEnabled())
        return std::nullopt;
    if (input.Value() > input.CriticalThreshold())
        return input.CriticalThresholdColor();
    if (input.Value() > input.WarningThreshold())
        return input.WarningThresholdColor();
    return input.NormalThresholdColor();
}

} // namespace

void AcquisitionCommands::PanelTargets::TraceCell(int panelIndex, int rpm, int tp)
{
    m_panels.TraceCell(panelIndex, TraceSample{rpm, tp, 0.0f});
}

void AcquisitionCommands::PanelTargets::TraceCellRPM(int panelIndex, int rpm)
{
    m_panels.TraceCell(panelIndex, TraceSample{rpm, 0, 0.0f});
}

void AcquisitionCommands::PanelTargets::TraceCellVoltage(int panelIndex, float volts)
{
    m_panels.TraceCell(panelIndex, TraceSample{0, 0, volts});
}

AcquisitionCommands::AcquisitionCommands(MainWindow &window, CVDataAcquisition &daq, RealTimeSender &realTime,
                                         ConnectionCommands &connection)
    : QObject(window.DialogParent()), m_window(window), m_daq(daq),
      m_logger(std::make_unique<CVRTLogger>(window.Prefs(), window.Ui().messages, window.Ui().files)),
      m_targets(window.Panels()), m_loop(daq, window.Prefs(), window.State(), realTime)
{
    qRegisterMetaType<AcquisitionSample>();
    m_logger->SetDialogParent(window.DialogParent());
    m_loop.SetTraceTargets(&m_targets);
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
}

void AcquisitionCommands::ApplySampleRate()
{
    // A period outside the accepted range (a hand-edited settings file) would
    // flood or starve the loop.
    m_timer->setInterval(std::clamp(m_window.Prefs().DAQSampleRate(), MinSamplePeriod, MaxSamplePeriod));
}

void AcquisitionCommands::Tick()
{
    const TickOutcome outcome = m_loop.Tick();
    m_strip->Show(m_loop.Strip());
    emit sampleTaken(makeSample(outcome));
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

AcquisitionSample AcquisitionCommands::makeSample(const TickOutcome &outcome) const
{
    const RealTimeStrip &strip = m_loop.Strip();
    AcquisitionSample s;
    s.acquired = outcome.acquired;
    s.status = strip.status;
    s.stagedRevLimitActive = m_window.State().StagedRevLimitActive;
    if (!outcome.acquired)
        return s;
    s.rpm = outcome.rpm;
    s.tp = outcome.tp;
    s.tpInt = outcome.tpInt;
    s.masVoltage = outcome.masVoltage;
    s.masColor = strip.masColor;
    s.injectorPW = outcome.injector.pulseWidth;
    s.injectorDuty = outcome.injector.duty;
    const CVUserPrefs &prefs = m_window.Prefs();
    s.inputs.reserve(static_cast<qsizetype>(prefs.SortedAnalogDAQInputs().size() +
                                            prefs.SortedDigitalDAQInputs().size()));
    for (const auto &input : prefs.SortedAnalogDAQInputs())
        s.inputs.push_back({input->Name(), false, input->Value(), input->Voltage(), thresholdColor(*input)});
    for (const auto &input : prefs.SortedDigitalDAQInputs()) {
        const bool high = input->Voltage() == 1.0f;
        s.inputs.push_back({input->Name(), true, high ? 1.0f : 0.0f, input->Voltage(), std::nullopt});
    }
    const Tune &tune = m_window.State().tune;
    const std::pair<int, MapKey> traced[] = {
        {PanelIndex::HOFM, MapKey::HOFM}, {PanelIndex::HOHGFM, MapKey::HOHGFM}, {PanelIndex::HOTM, MapKey::HOTM}};
    for (const auto &[panel, key] : traced) {
        const CVMapInfo &map = tune.map(key);
        s.cells.push_back({panel, map.LastRPMIndex(), map.LastTPIndex(), map.LastAccessedValue()});
    }
    return s;
}

void AcquisitionCommands::SaveDatalog()
{
    m_logger->SaveLogFile(false);
    m_window.Actions().mnuDataLoggingSave->setEnabled(false);
}

void AcquisitionCommands::DataLoggingSettings()
{
    dlgDataLoggingSettings dialog(m_window.Prefs(), m_window.DialogParent());
    dialog.exec();
}

void AcquisitionCommands::StagedRevLimiter()
{
    dlgStagedRevLimiter dialog(m_window.Prefs(), m_window.State(), m_window.Ui().messages,
                               m_window.DialogParent());
    dialog.exec();
}
