#include "app/MainApplication.h"

#include "analysis/ui/AnalysisCommands.h"
#include "analysis/ui/DatalogViewer.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "daq/CVRTLogger.h"
#include "daq/DaqDriverFactory.h"
#include "daq/LogRecovery.h"
#include "daq/BenchInputs.h"
#include "daq/ui/CVDAQSetupDlg.h"
#include "editors/EditSession.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/CVGlobalDlg.h"
#include "editors/ui/CVIgnitionDwellDlg.h"
#include "editors/ui/CVInjectorDlg.h"
#include "editors/ui/CVTTPDlg.h"
#include "editors/ui/CVVQTableDlg.h"
#include "link/ui/DialogRealTimeSender.h"
#include "platform/SerialPort.h"
#include "daq/ui/AcquisitionCommands.h"
#include "link/ui/ConnectionCommands.h"
#include "editors/ui/UndoAndCompareCommands.h"
#include "editors/ui/MapGridCommands.h"
#include "shell/FileCommands.h"
#include "shell/HelpCommands.h"
#include "link/ui/ImageCommands.h"
#include "shell/frmMain.h"
#include "gauges/ui/GaugesWindow.h"
#include "view3d/ui/Map3DViewCommands.h"

#include <QAction>

MainApplication::MainApplication(CVUserPrefs &prefs, MessageBoxService &messages, FileDialogService &files,
                                 const StartOptions &options)
    : m_prefs(prefs), m_ui{messages, files}, m_options(options)
{
    // A port named on the command line holds for this run only.
    m_savedPortName = m_prefs.link.PortName();
    if (!options.portName.isEmpty())
        m_prefs.link.SetPortName(options.portName);

    m_port = std::make_unique<SerialPort>();
    m_realTime = std::make_unique<DialogRealTimeSender>(*m_port, m_state, messages);
    m_edits = std::make_unique<EditSession>(m_state, *m_realTime);
    // The DAQ device: the simulated U12 with --sim-daq (or the SimulatedDAQ
    // preference), else the vendor's driver.
    m_daqDriver = CreateDaqDriver(m_prefs.daq, options.simulatedDaq);
    if (options.simulatedDaq)
        AddBenchInputs(m_prefs.daq);
    m_calculator = std::make_unique<CVScalingCalculator>();
    m_daq = std::make_unique<CVDataAcquisition>(*m_daqDriver, m_prefs.daq, m_state.tune, *m_calculator);
    m_window = std::make_unique<frmMain>(m_state, m_prefs.parts(), m_ui);
    m_realTime->SetParent(m_window.get());

    MessageBoxService &msg = messages;
    m_general = new CVGlobalDlg(*m_edits, msg);
    m_injector = new CVInjectorDlg(*m_edits, msg);
    m_ttp = new CVTTPDlg(*m_edits, msg);
    m_dwell = new CVIgnitionDwellDlg(*m_edits, msg);
    m_grid = new CVFuelTimingDlg(*m_edits, m_prefs.editor, msg);
    m_vq = new CVVQTableDlg(*m_edits, msg);
    m_window->SetPanel(PanelIndex::General, m_general);
    m_window->SetPanel(PanelIndex::Injector, m_injector);
    m_window->SetPanel(PanelIndex::TTPMaps, m_ttp);
    m_window->SetPanel(PanelIndex::IgnitionDuty, m_dwell);
    for (int index = PanelIndex::HOFM; index <= PanelIndex::LOTM; ++index)
        m_window->SetPanel(index, m_grid);
    m_window->SetPanel(PanelIndex::VQ, m_vq);
    m_daqSetup = new CVDAQSetupDlg(m_prefs.daq, m_state, *m_daq, *m_calculator, msg);
    m_window->SetPanel(PanelIndex::DAQ, m_daqSetup);

    m_fileCommands = new FileCommands(*m_window);
    m_helpCommands = new HelpCommands(*m_window);
    m_connectionCommands = new ConnectionCommands(*m_window, *m_port, *m_realTime,
                                                  options.fastHandshake ? HandshakeTimings::Fast()
                                                                        : HandshakeTimings{});
    m_imageCommands = new ImageCommands(*m_window, *m_port, [this] { return m_connectionCommands->Read(); });
    m_mapGridCommands = new MapGridCommands(*m_window, *m_grid, *m_edits);
    // Undo history, write of the changes and compare; it knows what the box
    // holds from every read and write, real-time writes included (a failed
    // one leaves its item unknown and the change waiting to be sent).
    m_undoCompare = new UndoAndCompareCommands(*m_window, *m_grid, *m_port, *m_edits);
    m_connectionCommands->box = &m_undoCompare->box();
    m_connectionCommands->onBoxTransferred = [this] { m_undoCompare->BoxTransferred(); };
    m_imageCommands->box = &m_undoCompare->box();
    m_realTime->written = [this](const QByteArray &frame, const LinkOutcome &outcome) {
        m_connectionCommands->RealTimeWriteEnded(frame, outcome);
    };
    m_acquisitionCommands = new AcquisitionCommands(*m_window, *m_daq, *m_realTime, *m_connectionCommands);
    m_daqSetup->onAdvancedSettingsChanged = [this] { m_acquisitionCommands->ApplySampleRate(); };
    // The traced panels mark what each tick traced in the tune.
    for (TracingPanel *panel : std::initializer_list<TracingPanel *>{m_grid, m_ttp, m_dwell, m_vq})
        QObject::connect(m_acquisitionCommands, &AcquisitionCommands::sampleTaken, m_window.get(),
                         [panel](const AcquisitionSample &sample) { panel->ShowTrace(sample); });

    // The 3D map view beside the grid and the gauges window, both fed by
    // every acquisition tick.
    m_map3DView = new Map3DViewCommands(*m_window, *m_grid);
    m_gauges = new GaugesWindow(m_state, m_prefs.daq, m_window.get());
    QAction *gaugesItem = m_window->Actions().mnuViewGauges;
    QObject::connect(gaugesItem, &QAction::triggered, m_gauges, [gauges = m_gauges](bool show) {
        gauges->setVisible(show);
        if (show) {
            gauges->raise();
            gauges->activateWindow();
        }
    });
    QObject::connect(m_gauges, &GaugesWindow::shownChanged, gaugesItem, &QAction::setChecked);
    QObject::connect(m_acquisitionCommands, &AcquisitionCommands::sampleTaken, m_gauges, &GaugesWindow::TakeSample);
    QObject::connect(m_acquisitionCommands, &AcquisitionCommands::samplesStopped, m_gauges, &GaugesWindow::DataStopped);
    QObject::connect(m_acquisitionCommands, &AcquisitionCommands::sampleTaken, m_map3DView,
                     &Map3DViewCommands::TakeSample);

    // The datalog viewer, map overlay and fuel correction; the viewer reads
    // the log being recorded from the logger's file.
    m_analysisCommands = new AnalysisCommands(*m_window, *m_grid, *m_edits);
    m_analysisCommands->runningLogPath = [this] { return m_acquisitionCommands->logger().LogFileName(); };
}

MainApplication::~MainApplication()
{
    m_window.reset();
    m_daq.reset();
    m_daqDriver.reset();
    m_edits.reset();
    m_realTime.reset();
    m_port.reset();
    if (!m_options.portName.isEmpty() && m_prefs.link.PortName() == m_options.portName)
        m_prefs.link.SetPortName(m_savedPortName);
}

void MainApplication::start()
{
    m_window->Load(m_options.projectPath);
    m_window->show();
    // Logs a crash, a kill or a power loss left behind are offered now.
    LogRecovery::OfferLeftBehindLogs(m_acquisitionCommands->logger(), m_ui.messages, m_window.get(),
                                     [this](const QString &path) { m_analysisCommands->ShowViewer().openLog(path); });
}
