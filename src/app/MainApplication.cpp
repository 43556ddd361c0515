#include "app/MainApplication.h"

#include "analysis/ui/AnalysisCommands.h"
#include "analysis/ui/DatalogViewer.h"
#include "analysis/ui/PlaybackCommands.h"
#include "commands/ui/CommandEnabler.h"
#include "daq/BenchInputs.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVRTLogger.h"
#include "daq/CVScalingCalculator.h"
#include "daq/DaqDriverFactory.h"
#include "daq/LogRecovery.h"
#include "daq/ui/AcquisitionCommands.h"
#include "daq/ui/CVDAQSetupDlg.h"
#include "editors/EditSession.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/CVGlobalDlg.h"
#include "editors/ui/CVIgnitionDwellDlg.h"
#include "editors/ui/CVInjectorDlg.h"
#include "editors/ui/CVTTPDlg.h"
#include "editors/ui/CVVQTableDlg.h"
#include "editors/ui/CompareCommands.h"
#include "editors/ui/MapGridCommands.h"
#include "editors/ui/MapPanels.h"
#include "editors/ui/UndoCommands.h"
#include "gauges/ui/GaugesCommands.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "history/JournalledSender.h"
#include "history/TuneJournal.h"
#include "history/ui/HistoryCommands.h"
#include "gauges/ui/GaugesWindow.h"
#include "link/ui/ConnectionCommands.h"
#include "link/ui/DialogRealTimeSender.h"
#include "link/ui/ImageCommands.h"
#include "model/ProjectFile.h"
#include "platform/SerialPort.h"
#include "platform/ui/ScreenFit.h"
#include "shell/FileCommands.h"
#include "shell/HelpCommands.h"
#include "shell/WelcomePanel.h"
#include "shell/frmMain.h"
#include "view3d/ui/Map3DViewCommands.h"

#include <QAction>

MainApplication::MainApplication(CVUserPrefs &prefs, MessageBoxService &messages, FileDialogService &files,
                                 const StartOptions &options)
    : m_prefs(prefs), m_ui{messages, files}, m_options(options)
{
    ScreenFit::KeepWindowsOnScreen();
    // A port named on the command line holds for this run only.
    m_savedPortName = m_prefs.link.PortName();
    if (!options.portName.isEmpty())
        m_prefs.link.SetPortName(options.portName);

    m_port = std::make_unique<SerialPort>();
    m_realTime = std::make_unique<DialogRealTimeSender>(*m_port, m_state.tune, m_link, messages);
    // Every change goes to the journal, and to its disk before the box.
    m_journal = std::make_unique<TuneJournal>(
        options.journalFolder.isEmpty() ? TuneJournal::DefaultFolder() : options.journalFolder, [this] {
            JournalFormat::State s;
            s.project = EncodeProject(m_state.tune);
            s.fileName = m_window ? m_window->CurrentFileName() : QString();
            s.modified = m_state.Modified();
            s.notSent = m_state.ChangesNotSent();
            return s;
        });
    m_journalled = std::make_unique<JournalledSender>(*m_realTime, *m_journal);
    m_history = std::make_unique<HistoryStore>(options.historyFolder.isEmpty() ? HistoryStore::DefaultFolder()
                                                                              : options.historyFolder);
    m_edits = std::make_unique<EditSession>(m_state, m_link, *m_journalled);
    // The DAQ device: the simulated U12 with --sim-daq (or the SimulatedDAQ
    // preference), else the vendor's driver. The simulated engine is fuelled
    // by the tune as it is edited, read and loaded.
    m_daqDriver = CreateDaqDriver(m_prefs.daq, options.simulatedDaq, options.simulation, &m_state.tune);
    if (options.simulatedDaq)
        AddBenchInputs(m_prefs.daq);
    m_calculator = std::make_unique<CVScalingCalculator>();
    m_daq = std::make_unique<CVDataAcquisition>(*m_daqDriver, m_prefs.daq, m_state.tune, *m_calculator);
    m_window = std::make_unique<frmMain>(m_state, m_prefs.window, m_prefs.store());
    m_realTime->SetParent(m_window.get());
    m_commands = new CommandEnabler([this] { return commandStates(); }, m_window.get());

    createPanels();
    createFeatures();
    connectViews();
    connectHistory();
    addWaysIn();
}

void MainApplication::createPanels()
{
    MessageBoxService &msg = m_ui.messages;
    m_general = new CVGlobalDlg(*m_edits, msg);
    m_injector = new CVInjectorDlg(*m_edits, msg);
    m_ttp = new CVTTPDlg(*m_edits, msg);
    m_dwell = new CVIgnitionDwellDlg(*m_edits, msg);
    m_grid = new CVFuelTimingDlg(*m_edits, m_marks, m_prefs.editor, msg);
    m_vq = new CVVQTableDlg(*m_edits, msg);
    m_daqSetup = new CVDAQSetupDlg(m_prefs.daq, m_link, *m_daq, *m_calculator, msg);
    m_window->SetPanel(PanelIndex::General, m_general);
    m_window->SetPanel(PanelIndex::Injector, m_injector);
    m_window->SetPanel(PanelIndex::TTPMaps, m_ttp);
    m_window->SetPanel(PanelIndex::IgnitionDuty, m_dwell);
    for (int index = PanelIndex::HOFM; index <= PanelIndex::LOTM; ++index)
        m_window->SetPanel(index, m_grid);
    m_window->SetPanel(PanelIndex::VQ, m_vq);
    m_window->SetPanel(PanelIndex::DAQ, m_daqSetup);
}

// Each feature puts its items into the window's menus in its groups; the
// order below is the order of the items within a group.
void MainApplication::createFeatures()
{
    frmMain &w = *m_window;
    m_fileCommands = new FileCommands(w, m_state, m_ui);
    m_undo = new UndoCommands(w, w, m_state, m_link, *m_edits, *m_commands);
    m_acquisitionCommands = new AcquisitionCommands(
        {w, m_state, m_prefs.daq, m_link, m_marks, *m_daq, *m_journalled, m_ui, *m_commands});
    m_connectionCommands = new ConnectionCommands({w, m_state, m_link, m_prefs.link, *m_port, *m_journalled, m_ui,
                                                   *m_commands, *m_fileCommands, *m_acquisitionCommands,
                                                   m_options.fastHandshake ? HandshakeTimings::Fast()
                                                                           : HandshakeTimings{}});
    m_imageCommands = new ImageCommands(w, m_state, m_link, *m_port, m_ui, *m_commands, *m_connectionCommands);
    m_mapGridCommands = new MapGridCommands(w, *m_grid, *m_edits, m_marks, m_prefs.daq, m_ui, *m_commands);
    m_compare = new CompareCommands(w, m_state, m_link, *m_port, m_ui, *m_grid, *m_edits, *m_commands);
    m_historyCommands = new HistoryCommands({w, m_state, m_link, *m_edits, m_ui, *m_journal, *m_history});
    m_map3DView = new Map3DViewCommands(w, m_state, m_marks, m_link, m_ui, *m_grid);
    m_gauges = new GaugesCommands(w, m_state, m_prefs.daq);
    m_analysisCommands = new AnalysisCommands(w, m_state, m_prefs.store(), m_ui, *m_grid, *m_edits,
                                              m_acquisitionCommands->logger());
    m_playback = new PlaybackCommands({w, m_state, m_marks, m_prefs.daq, m_link, *m_connectionCommands,
                                       *m_acquisitionCommands, *m_analysisCommands, *m_commands});
    m_helpCommands = new HelpCommands(w, m_ui);
}

void MainApplication::connectViews()
{
    // Command availability follows every state it depends on.
    const auto refresh = [this] { m_commands->Refresh(); };
    QObject::connect(&m_link, &LinkSession::changed, m_commands, refresh);
    QObject::connect(m_undo, &UndoCommands::changed, m_commands, refresh);
    QObject::connect(m_compare, &CompareCommands::changed, m_commands, refresh);
    QObject::connect(m_acquisitionCommands, &AcquisitionCommands::changed, m_commands, refresh);
    QObject::connect(&m_window->Events(), &MainWindowEvents::panelSelected, m_commands, refresh);
    QObject::connect(m_grid, &CVFuelTimingDlg::currentCellChanged, m_commands, refresh);

    QObject::connect(m_daqSetup, &CVDAQSetupDlg::advancedSettingsChanged, m_acquisitionCommands,
                     &AcquisitionCommands::ApplySampleRate);
    // The live views take their samples from one source at a time, the
    // engine's ticks or a log played back, through the same connections.
    GaugesWindow *gauges = &m_gauges->window();
    const auto feedViews = [&](auto *source, auto taken, auto stopped) {
        for (TracingPanel *panel : std::initializer_list<TracingPanel *>{m_grid, m_ttp, m_dwell, m_vq})
            QObject::connect(source, taken, m_window.get(),
                             [panel](const AcquisitionSample &sample) { panel->ShowTrace(sample); });
        QObject::connect(source, taken, gauges, &GaugesWindow::TakeSample);
        QObject::connect(source, stopped, gauges, &GaugesWindow::DataStopped);
        QObject::connect(source, taken, m_map3DView, &Map3DViewCommands::TakeSample);
    };
    feedViews(m_acquisitionCommands, &AcquisitionCommands::sampleTaken, &AcquisitionCommands::samplesStopped);
    feedViews(m_playback, &PlaybackCommands::sampleTaken, &PlaybackCommands::samplesStopped);
    // The traced panels lose their marks when the trace is cleared.
    for (TracingPanel *panel : std::initializer_list<TracingPanel *>{m_grid, m_ttp, m_dwell, m_vq})
        QObject::connect(&m_marks, &TraceMarks::cleared, m_window.get(), [panel] { panel->ClearRTState(); });
}

// The window's first view offers the three ways to a tune, each through its
// command (so it is on offer only when the command is).
void MainApplication::addWaysIn()
{
    const auto trigger = [this](const char *name) {
        QAction *action = m_window->findChild<QAction *>(QLatin1String(name));
        if (action && action->isEnabled())
            action->trigger();
    };
    WelcomePanel &welcome = m_window->Welcome();
    welcome.AddWay("welcomeOpen", "Open a project...", "A tune saved on this computer",
                   [trigger] { trigger("mnuFileOpen"); });
    welcome.AddWay("welcomeRead", "Read from the Vantrelle...", "Connect to the box and read the tune it holds",
                   [this, trigger] { trigger(m_link.Connected() ? "mnuOptionsRead" : "mnuOptionsConnect"); });
    welcome.AddWay("welcomeStock", "Load a stock program...",
                   "Connect, put a stock program into the box and read it back", [this, trigger] {
                       if (m_connectionCommands->EnsureConnected())
                           trigger("mnuLoad");
                   });
}

// The history hears of stock programs and fuel corrections, and the
// corrections of earlier runs are spent before anything is computed.
void MainApplication::connectHistory()
{
    HistoryRecorder &recorder = m_historyCommands->recorder();
    QObject::connect(m_imageCommands, &ImageCommands::stockProgramLoaded, &recorder, &HistoryRecorder::StockLoaded);
    FuelCorrection::AppliedCells &applied = m_analysisCommands->appliedCorrections();
    for (const CorrectionRecord &r : m_history->Corrections())
        applied.mark(r.logKey, r.map, r.entry, static_cast<std::size_t>(r.rows), r.at);
    applied.setListener([this](const FuelCorrection::AppliedCells::Applied &a) {
        std::vector<CorrectionRecord> cells;
        for (int entry : a.entries)
            cells.push_back({QDateTime::currentDateTimeUtc(), a.logKey, a.logPath, 0, {}, a.map, entry,
                             static_cast<qint64>(a.rows), 0});
        m_historyCommands->CorrectionApplied(cells, a.logPath);
    });
    // The title says when the tune holds changes not saved.
    QObject::connect(&m_state, &ProgramState::flagsChanged, m_window.get(),
                     [this] { m_window->setWindowModified(m_state.Modified()); });
}

CommandStates MainApplication::commandStates() const
{
    CommandStates s;
    s.connectionState = m_link.ConnectionState();
    s.realTime = m_link.RealTimeEnabled();
    s.canUndo = m_undo && m_undo->history().CanUndo();
    s.canRedo = m_undo && m_undo->history().CanRedo();
    s.comparing = m_compare && m_compare->Comparing();
    s.datalogSaveOffered = !m_acquisitionCommands || m_acquisitionCommands->DatalogSaveOffered();
    s.mapShown = MapPanels::IsMapPanel(m_state.CurrentPanel);
    s.logOpen = m_analysisCommands && m_analysisCommands->viewer() && m_analysisCommands->viewer()->hasLog();
    s.playback = m_playback && m_playback->Active();
    if (s.mapShown && m_grid) {
        if (const std::optional<CVFuelTimingDlg::MapCell> cell = m_grid->CurrentMapCell())
            s.cell = cell->place == GridRules::CellPlace::Body ? CellKind::Body : CellKind::Axis;
    }
    return s;
}

GaugesWindow &MainApplication::gauges()
{
    return m_gauges->window();
}

MainApplication::~MainApplication()
{
    m_window.reset();
    m_daq.reset();
    m_daqDriver.reset();
    m_edits.reset();
    m_journalled.reset();
    m_realTime.reset();
    m_port.reset();
    if (!m_options.portName.isEmpty() && m_prefs.link.PortName() == m_options.portName)
        m_prefs.link.SetPortName(m_savedPortName);
}

void MainApplication::load()
{
    m_state.Reset();
    m_window->Load();
    m_commands->Refresh();
    m_fileCommands->OpenCommandLine(m_options.projectPath);
    m_window->Relayout();
}

void MainApplication::start()
{
    load();
    m_window->show();
    // Logs a crash, a kill or a power loss left behind are offered now.
    LogRecovery::OfferLeftBehindLogs(m_acquisitionCommands->logger(), m_ui.messages, m_window.get(),
                                     [this](const QString &path) { m_analysisCommands->ShowViewer().openLog(path); });
    // The edit journal of a run that did not end normally, then this run's.
    m_historyCommands->StartJournal(
        [this](const Tune &tune, const QString &name) { m_compare->StartCompare(tune, name); });
}
