#include "shell/frmMain.h"

#include "model/ProgramState.h"
#include "model/Rounding.h"
#include "platform/MessageBoxService.h"
#include "platform/ui/ScreenUnits.h"
#include "platform/UiServices.h"
#include "daq/DaqSettings.h"
#include "link/LinkSettings.h"
#include "platform/SettingsStore.h"
#include "shell/WindowSettings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QIcon icon(const char *key)
{
    return QIcon(QStringLiteral(":/icons/%1.xpm").arg(QLatin1String(key)));
}

} // namespace

frmMain::frmMain(ProgramState &state, const MainWindowPrefs &prefs, UiServices &ui, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_prefs(prefs), m_ui(ui)
{
    setObjectName("frmMain");
    setWindowTitle("Vantrelle");
    setWindowIcon(icon("RealTimeSetup"));
    createMenus();
    createToolBar();
    createStatusBar();
    createClientArea();
}

frmMain::~frmMain() = default;

QAction *frmMain::addItem(QMenu *menu, const QString &caption, const char *name)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

void frmMain::createMenus()
{
    QMenu *file = menuBar()->addMenu("&File");
    file->setObjectName("mnuFile");
    m_fileMenu = file;
    addItem(file, "&Open File...", "mnuFileOpen");
    addItem(file, "&Save...", "mnuFileSave");
    addItem(file, "S&ave As...", "mnuFileSaveAs");
    addItem(file, "&Load .bin To ROM", "mnuFileOpenBin");
    addItem(file, "Sa&ve ROM to .bin", "mnuFileSaveBin");
    file->addSeparator()->setObjectName("mnuSep");
    addItem(file, "Load Stock Program...", "mnuLoad");
    m_mruDivider = file->addSeparator();
    m_mruDivider->setObjectName("mnuFileMRUDivider");
    m_mruDivider->setVisible(false);
    m_binSep = file->addSeparator();
    m_binSep->setObjectName("mnuFileBinSep");
    QAction *exit = addItem(file, "E&xit", "mnuFileClose");
    connect(exit, &QAction::triggered, this, &QWidget::close);

    // Undo and redo of every change to the tune (EditCommands names the steps).
    QMenu *edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("mnuEdit");
    QAction *undo = addItem(edit, "&Undo", "mnuEditUndo");
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo->setEnabled(false);
    QAction *redo = addItem(edit, "&Redo", "mnuEditRedo");
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redo->setEnabled(false);

    QMenu *view = menuBar()->addMenu("&View");
    view->setObjectName("mnuView");
    QAction *toolbar = addItem(view, "&Toolbar", "mnuViewToolbar");
    toolbar->setCheckable(true);
    toolbar->setChecked(true);
    connect(toolbar, &QAction::triggered, this, &frmMain::toggleToolbar);
    QAction *statusBarItem = addItem(view, "Status &Bar", "mnuViewStatusBar");
    statusBarItem->setCheckable(true);
    statusBarItem->setChecked(true);
    connect(statusBarItem, &QAction::triggered, this, &frmMain::toggleStatusBar);
    // The 3D map view (a dock beside the grid) and the gauges window; their
    // commands attach to these items.
    view->addSeparator();
    addItem(view, "&3D Map View", "mnuView3DMap")->setCheckable(true);
    addItem(view, "&Gauges", "mnuViewGauges")->setCheckable(true);

    QMenu *options = menuBar()->addMenu("&Options");
    options->setObjectName("mnuOptions");
    addItem(options, "Co&nnect To Vantrelle...", "mnuOptionsConnect");
    addItem(options, "&Read from Vantrelle...", "mnuOptionsRead");
    addItem(options, "&Write to Vantrelle...", "mnuOptionsWrite");
    addItem(options, "Write C&hanges to Vantrelle...", "mnuOptionsWriteChanges");
    addItem(options, "Real-Time Mode", "mnuOptionsRealTime")->setCheckable(true);
    options->addSeparator();
    addItem(options, "Connection &Settings...", "mnuOptionsSettings");
    options->addSeparator();
    addItem(options, "Set &Fuel/Timing Grid Font...", "mnuOptionsGridFont");

    QMenu *tools = menuBar()->addMenu("&Tools");
    tools->setObjectName("mnuTools");
    addItem(tools, "&Staged Rev Limiter...", "mnuToolsStagedRevLimiter");
    addItem(tools, "Co&py Fuel / Timing Maps...", "mnuToolsMapCopy");
    // A second tune beside the one being edited (EditCommands).
    QMenu *compare = tools->addMenu("Co&mpare");
    compare->setObjectName("mnuToolsCompare");
    addItem(compare, "With &Project File...", "mnuToolsCompareProject");
    addItem(compare, "With &Image File...", "mnuToolsCompareImage");
    addItem(compare, "With &Vantrelle Contents...", "mnuToolsCompareBox");
    addItem(compare, "&End Comparison", "mnuToolsCompareEnd")->setEnabled(false);
    // Logs: the viewer and what it computes (AnalysisCommands).
    tools->addSeparator();
    addItem(tools, "Datalog &Viewer...", "mnuToolsDatalogViewer");
    addItem(tools, "Map &Overlay from Log...", "mnuToolsMapOverlay");
    addItem(tools, "&Fuel Correction from Log...", "mnuToolsFuelCorrection");

    QMenu *cell = menuBar()->addMenu("&Cell");
    cell->setObjectName("mnuCell");
    cell->menuAction()->setObjectName("mnuCellMenu");
    cell->setEnabled(false);

    QMenu *logging = menuBar()->addMenu("&Data Logging");
    logging->setObjectName("mnuDataLogging");
    addItem(logging, "&Save Current Datalog...", "mnuDataLoggingSave");
    addItem(logging, "&Clear Real-Time Data Points", "mnuDataLogClear");
    QMenu *highlight = logging->addMenu("&Highlight Mode");
    highlight->setObjectName("mnuDataLoggingHighlight");
    addItem(highlight, "Current cell", "mnuDataLoggingCurrentCell")->setCheckable(true);
    addItem(highlight, "All cells", "mnuDataLoggingAllCells")->setCheckable(true);
    addItem(logging, "S&ettings...", "mnuDataLoggingSettings");

    QMenu *help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    addItem(help, "&Contents", "mnuHelpContents");
    addItem(help, "&Search For Help On...", "mnuHelpSearch");
    help->addSeparator();
    addItem(help, "&About...", "mnuHelpAbout");
}

void frmMain::createToolBar()
{
    m_toolBar = addToolBar("Toolbar");
    m_toolBar->setObjectName("tbToolBar");
    m_toolBar->setMovable(false);
    struct Button
    {
        const char *key;
        const char *tip;
        const char *icon;
        bool checkable;
    };
    const Button buttons[] = {
        {"Open", "Open", "Open", false},
        {"Save", "Save", "Save", false},
        {"Connect", "Connect to Vantrelle", "Conn", true},
        {"Read", "Read from Vantrelle", "VntRead", false},
        {"Write", "Write to Vantrelle", "VntWrite", false},
        {"RealTime", "Enable real-time mode", "RealTime", true},
    };
    for (const Button &b : buttons) {
        QAction *a = m_toolBar->addAction(icon(b.icon), QLatin1String(b.key));
        a->setObjectName(QStringLiteral("tb") + QLatin1String(b.key));
        a->setToolTip(QLatin1String(b.tip));
        a->setCheckable(b.checkable);
        if (qstrcmp(b.key, "Save") == 0)
            m_toolBar->addSeparator();
    }
}

void frmMain::createStatusBar()
{
    struct Panel
    {
        const char *key;
        const char *text;
        const char *tip;
    };
    const Panel panels[] = {
        {"Status", "Status", "Vantrelle Status"},
        {"VntRTDisabled", "Real-time Disabled  ", nullptr},
        {"VntRTEnabled", "Real-time Enabled  ", nullptr},
        {"HardwareVersion", "", "Vantrelle Version"},
    };
    for (const Panel &p : panels) {
        auto *label = new QLabel(QLatin1String(p.text));
        label->setObjectName(QLatin1String(p.key));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        if (p.tip)
            label->setToolTip(QLatin1String(p.tip));
        statusBar()->addWidget(label, qstrcmp(p.key, "Status") == 0 ? 1 : 0);
    }
    auto *clock = new QLabel;
    clock->setObjectName("Clock");
    clock->setFrameShape(QFrame::StyledPanel);
    clock->setFrameShadow(QFrame::Sunken);
    statusBar()->addPermanentWidget(clock);
    m_clock = new QTimer(this);
    auto tick = [clock] { clock->setText(QLocale().toString(QTime::currentTime(), QLocale::ShortFormat)); };
    connect(m_clock, &QTimer::timeout, this, tick);
    tick();
    m_clock->start(1000);
}

void frmMain::createClientArea()
{
    m_client = new QWidget;
    m_client->setObjectName("client");
    setCentralWidget(m_client);
    // Docks beside the panels (the 3D map view) narrow the client area
    // without resizing the window: lay the panels out again then too.
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
    m_client->installEventFilter(this);

    m_tree = new QTreeWidget(m_client);
    m_tree->setObjectName("tvTreeView");
    m_tree->setHeaderHidden(true);
    m_tree->setVisible(false);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { nodeClicked(item); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        // Keyboard moves in the tree select like clicks do.
        if (item && m_tree->isVisibleTo(this) && item->data(0, Qt::UserRole).toInt() != m_currentNodePanel)
            nodeClicked(item);
    });

    m_imgSplitter = new QWidget(m_client);
    m_imgSplitter->setObjectName("imgSplitter");
    m_imgSplitter->setCursor(Qt::SizeHorCursor);
    m_imgSplitter->installEventFilter(this);

    m_picSplitter = new QWidget(m_client);
    m_picSplitter->setObjectName("picSplitter");
    m_picSplitter->setAutoFillBackground(true);
    QPalette bar = m_picSplitter->palette();
    bar.setColor(QPalette::Window, QColor(128, 128, 128));
    m_picSplitter->setPalette(bar);
    m_picSplitter->setVisible(false);

    // One container per panel index; indexes 7..12 share the grid's.
    QWidget *grid = nullptr;
    for (const NavigationNode &node : NavigationNodes()) {
        QWidget *container = nullptr;
        if (IsMapPanel(node.panel) && grid) {
            container = grid;
        } else {
            container = new QWidget(m_client);
            container->setObjectName(QLatin1String(node.container));
            new QVBoxLayout(container);
            container->layout()->setContentsMargins(0, 0, 0, 0);
            container->setVisible(false);
            if (IsMapPanel(node.panel))
                grid = container;
        }
        m_containers[node.panel] = container;
    }
    auto *none = new QLabel("No properties.");
    none->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_containers[1]->layout()->addWidget(none);

    m_picRealTime = new QWidget(m_client);
    m_picRealTime->setObjectName("picRealTime");
    new QVBoxLayout(m_picRealTime);
    m_picRealTime->setVisible(false);
}

void frmMain::SetPanel(int index, TunePanel *panel)
{
    if (index < 0 || index >= PanelCount)
        return;
    m_panels.Set(index, panel);
    QWidget *container = m_containers[index];
    QWidget *widget = panel ? panel->widget() : nullptr;
    if (container && widget && widget->parent() != container)
        container->layout()->addWidget(widget);
}

QWidget *frmMain::Container(int index) const
{
    return index >= 0 && index < PanelCount ? m_containers[index] : nullptr;
}

QAction *frmMain::Action(const QString &name) const
{
    return findChild<QAction *>(name);
}

QLabel *frmMain::StatusPanel(const QString &key) const
{
    return statusBar()->findChild<QLabel *>(key);
}

int frmMain::ToPixels(double twips) const
{
    return ScreenUnits::TwipsToPixelsX(twips, this);
}

double frmMain::ToTwips(int pixels) const
{
    return ScreenUnits::PixelsToTwipsX(pixels, this);
}

int frmMain::ToPixelsY(double twips) const
{
    return ScreenUnits::TwipsToPixelsY(twips, this);
}

double frmMain::ToTwipsY(int pixels) const
{
    return ScreenUnits::PixelsToTwipsY(pixels, this);
}

void frmMain::Load(const QString &commandLine)
{
    m_splitterLeft = m_prefs.window.SplitterX();
    setMinimumWidth(ToPixels(WindowLayout::MinimumWindowWidth));
    placeFromPrefs();

    SetConnectionState(m_prefs.link.ConnectionState());
    m_state.RealTimeEnabled = false;
    SelectPanel(m_state.CurrentPanel);
    m_currentFileName.clear();
    m_state.Modified = false;
    m_state.ChangesNotSent = false;

    if (QAction *mode = Action(m_prefs.daq.HighlightMode() == 1 ? "mnuDataLoggingAllCells" : "mnuDataLoggingCurrentCell"))
        mode->trigger();

    m_mru.Load(m_prefs.store);
    rebuildMRUMenu();

    if (!commandLine.isEmpty()) {
        QString path = commandLine;
        path.remove(QLatin1Char('"'));
        if (openProject)
            openProject(path);
        UpdateMRUList(path, false);
    }
    applyLayout();
}

void frmMain::placeFromPrefs()
{
    const WindowLayout::Rect stored{ToPixels(m_prefs.window.WndLeftPos()), ToPixelsY(m_prefs.window.WndTopPos()),
                                  ToPixels(m_prefs.window.WndWidth()), ToPixelsY(m_prefs.window.WndHeight())};
    const QRect wanted(stored.left, stored.top, std::max(1, stored.width), std::max(1, stored.height));
    QScreen *screen = QGuiApplication::screenAt(wanted.center());
    if (!screen)
        screen = QGuiApplication::screenAt(wanted.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        resize(minimumSizeHint());
        return;
    }
    const QRect available = screen->availableGeometry();
    const WindowLayout::Rect placed =
        WindowLayout::PlaceWindow(stored, {available.x(), available.y(), available.width(), available.height()},
                                minimumWidth(), minimumSizeHint().height());
    move(placed.left, placed.top);
    resize(placed.width, placed.height);
}

void frmMain::BuildTree()
{
    emit tuneReplaced();
    m_tree->setVisible(true);
    m_tree->blockSignals(true);
    m_tree->clear();
    QTreeWidgetItem *global = nullptr;
    QTreeWidgetItem *general = nullptr;
    for (const NavigationNode &node : NavigationNodes()) {
        QTreeWidgetItem *item = node.parentKey ? new QTreeWidgetItem(global) : new QTreeWidgetItem(m_tree);
        item->setText(0, QLatin1String(node.caption));
        item->setData(0, Qt::UserRole, node.panel);
        item->setData(0, Qt::UserRole + 1, QLatin1String(node.key));
        if (node.icon)
            item->setIcon(0, icon(node.icon));
        if (!node.parentKey && qstrcmp(node.key, "GLOBAL") == 0)
            global = item;
        if (qstrcmp(node.key, "GENERAL") == 0)
            general = item;
    }
    global->setExpanded(true);
    m_tree->setCurrentItem(general);
    m_tree->blockSignals(false);
    nodeClicked(general);
    applyLayout();
}

void frmMain::nodeClicked(QTreeWidgetItem *node)
{
    if (node) {
        const int index = node->data(0, Qt::UserRole).toInt();
        ShowPanel(m_currentNodePanel, false);
        ShowPanel(index, true);
        m_currentNodePanel = index;
    }
    if (m_state.RealTimeEnabled)
        SizeControls(m_splitterLeft);
}

void frmMain::ShowPanel(int index, bool show)
{
    QWidget *container = Container(index);
    if (!container)
        return;
    container->setVisible(show);
    if (show)
        SelectPanel(index);
}

void frmMain::SelectPanel(int index)
{
    m_state.CurrentPanel = index;
    if (index != 0 && index != 1)
        m_panels.UpdateData(index);
    if (QMenu *cell = menuBar()->findChild<QMenu *>("mnuCell"))
        cell->setEnabled(IsMapPanel(index));
    emit panelSelected(index);
}

void frmMain::SizeControls(double x)
{
    m_splitterLeft = x;
    WindowLayout::Input in;
    in.splitterX = x;
    in.windowWidth = static_cast<int>(ToTwips(m_client->width()));
    in.clientTop = 0;
    in.clientBottom = static_cast<int>(ToTwipsY(m_client->height()));
    in.realTime = m_state.RealTimeEnabled;
    in.vqSelected = m_currentNodePanel == VQPanel;
    in.stripHeight = static_cast<int>(ToTwipsY(m_picRealTime->sizeHint().height()));
    const WindowLayout::Result r = WindowLayout::Compute(in);
    m_prefs.window.SetSplitterX(r.storedSplitterX);

    auto place = [this](QWidget *w, const WindowLayout::Rect &rt) {
        w->setGeometry(ToPixels(rt.left), ToPixelsY(rt.top), ToPixels(rt.width), ToPixelsY(rt.height));
    };
    place(m_tree, r.tree);
    m_imgSplitter->setGeometry(ToPixels(r.splitterLeft), ToPixelsY(r.tree.top),
                               std::max(3, ToPixels(WindowLayout::PanelGap)), ToPixelsY(r.tree.height));
    for (QWidget *container : m_containers)
        if (container)
            place(container, r.panel);
    m_picRealTime->setVisible(r.stripVisible);
    if (r.stripVisible)
        place(m_picRealTime, r.strip);
}

void frmMain::applyLayout()
{
    SizeControls(m_splitterLeft);
}

void frmMain::SetConnectionState(int state)
{
    m_prefs.link.SetConnectionState(state);
    auto set = [this](const char *name, bool enabled) {
        if (QAction *a = Action(QLatin1String(name)))
            a->setEnabled(enabled);
    };
    QLabel *status = StatusPanel("Status");
    QAction *connectButton = Action("tbConnect");
    QAction *realTimeButton = Action("tbRealTime");
    switch (state) {
    case 0:
        status->setText("Not Connected");
        Action("mnuOptionsConnect")->setText("C&onnect To Vantrelle...");
        connectButton->setToolTip("Connect To Vantrelle...");
        connectButton->setChecked(false);
        realTimeButton->setToolTip("Enable real-time mode");
        realTimeButton->setChecked(false);
        realTimeButton->setEnabled(false);
        for (const char *name : {"tbRead", "tbWrite", "mnuOptionsRead", "mnuOptionsWrite", "mnuOptionsRealTime",
                                 "mnuFileOpenBin", "mnuFileSaveBin", "mnuLoad"})
            set(name, false);
        if (m_state.RealTimeEnabled && switchRealTimeOff)
            switchRealTimeOff();
        break;
    case 1:
        connectButton->setToolTip("Disconnect from Vantrelle");
        connectButton->setChecked(true);
        realTimeButton->setToolTip("Enable real-time mode");
        status->setText("Connecting...");
        Action("mnuOptionsConnect")->setText("&Disconnect from Vantrelle");
        for (const char *name : {"tbRead", "tbWrite", "tbRealTime", "mnuOptionsRead", "mnuOptionsWrite",
                                 "mnuOptionsRealTime"})
            set(name, true);
        break;
    case 2:
        status->setText("Idle");
        break;
    case 3:
        connectButton->setChecked(true);
        status->setText("Reading from Vantrelle...");
        break;
    case 4:
        connectButton->setChecked(true);
        status->setText("Writing to Vantrelle...");
        break;
    default:
        break;
    }
    // Not connected, neither real-time panel means anything; once a
    // connection starts the mode shows as disabled until it is switched on.
    if (state == 0) {
        StatusPanel("VntRTDisabled")->setVisible(false);
        StatusPanel("VntRTEnabled")->setVisible(false);
    } else if (state == 1) {
        StatusPanel("VntRTDisabled")->setVisible(true);
        StatusPanel("VntRTEnabled")->setVisible(false);
    }
}

void frmMain::UpdateMRUList(const QString &path, bool atEnd)
{
    m_mru.Update(path, atEnd);
    rebuildMRUMenu();
}

void frmMain::rebuildMRUMenu()
{
    for (QAction *a : m_mruItems) {
        // The item may be the one whose click led here: let it finish first.
        m_fileMenu->removeAction(a);
        a->setObjectName(QString());
        a->deleteLater();
    }
    m_mruItems.clear();
    const QStringList &entries = m_mru.entries();
    m_mruDivider->setVisible(!entries.isEmpty());
    for (int n = 1; n <= entries.size(); ++n) {
        auto *a = new QAction(RecentFiles::Caption(n, entries[n - 1]), m_fileMenu);
        a->setObjectName(QStringLiteral("mnuFileMRU%1").arg(n));
        const QString path = entries[n - 1];
        connect(a, &QAction::triggered, this, [this, path] {
            if (onMRUClicked)
                onMRUClicked(path);
        });
        m_fileMenu->insertAction(m_binSep, a);
        m_mruItems << a;
    }
}

void frmMain::toggleToolbar()
{
    m_toolBar->setVisible(Action("mnuViewToolbar")->isChecked());
    applyLayout();
}

void frmMain::toggleStatusBar()
{
    statusBar()->setVisible(Action("mnuViewStatusBar")->isChecked());
    applyLayout();
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    const int minimum = ToPixels(WindowLayout::MinimumWindowWidth);
    if (width() < minimum)
        resize(minimum, height());
    applyLayout();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize && isVisible())
        applyLayout();
    if (watched != m_imgSplitter)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_picSplitter->setGeometry(m_imgSplitter->geometry());
        m_picSplitter->setVisible(true);
        m_picSplitter->raise();
        m_splitterMoving = true;
        return true;
    case QEvent::MouseMove:
        if (m_splitterMoving) {
            const auto *me = static_cast<QMouseEvent *>(event);
            const int proposed = static_cast<int>(m_splitterLeft + ToTwips(static_cast<int>(me->position().x())));
            const int left = WindowLayout::ClampSplitter(proposed, static_cast<int>(ToTwips(m_client->width())));
            m_picSplitter->move(ToPixels(left), m_picSplitter->y());
        }
        return true;
    case QEvent::MouseButtonRelease:
        if (m_splitterMoving) {
            m_splitterMoving = false;
            SizeControls(ToTwips(m_picSplitter->x()));
            m_picSplitter->setVisible(false);
        }
        return true;
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

bool frmMain::mayUnload()
{
    if (m_state.Modified) {
        const MsgAnswer answer =
            m_ui.messages.show(this, "Save changes before exiting?", MsgIcon::Question, MsgButtons::YesNoCancel);
        if (answer == MsgAnswer::Cancel)
            return false;
        // A save cancelled or failed keeps the program, and the changes, running.
        if (answer == MsgAnswer::Yes && !(onSaveBeforeExit && onSaveBeforeExit()))
            return false;
    }
    return !offerToSaveLog || offerToSaveLog();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_unloading) {
        event->accept();
        return;
    }
    // Asked first, so that a Cancel leaves everything as it was.
    if (!mayUnload()) {
        event->ignore();
        return;
    }
    m_unloading = true;
    if (m_state.RealTimeEnabled && m_prefs.daq.StagedRevLimiterEnabled() && switchRealTimeOff)
        switchRealTimeOff();

    // Close every other open window, the most recently opened first.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (*it != this && (*it)->isVisible())
            (*it)->close();

    if (!isMinimized()) {
        const QRect frame = frameGeometry();
        m_prefs.window.SetWndLeftPos(static_cast<int>(vnt::RoundHalfEven(ToTwips(frame.x()))));
        m_prefs.window.SetWndTopPos(static_cast<int>(vnt::RoundHalfEven(ToTwipsY(frame.y()))));
        m_prefs.window.SetWndWidth(static_cast<int>(vnt::RoundHalfEven(ToTwips(width()))));
        m_prefs.window.SetWndHeight(static_cast<int>(vnt::RoundHalfEven(ToTwipsY(height()))));
    }
    m_mru.Save(m_prefs.store);
    m_prefs.store.Flush();
    event->accept();
}
