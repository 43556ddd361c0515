#include "shell/MainMenus.h"

#include "link/ConnectionStates.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>

namespace {

QAction *item(QMenu *menu, const QString &caption, const char *name)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

QAction *checkable(QAction *a)
{
    a->setCheckable(true);
    return a;
}

QMenu *menu(QMenuBar *bar, const QString &caption, const char *name)
{
    QMenu *m = bar->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    return m;
}

} // namespace

QIcon ShellIcon(const char *key)
{
    return QIcon(QStringLiteral(":/icons/%1.xpm").arg(QLatin1String(key)));
}

MainMenuBar CreateMenus(QMainWindow &window)
{
    MainMenuBar made;
    MainActions &a = made.actions;
    QMenuBar *bar = window.menuBar();

    QMenu *file = menu(bar, "&File", "mnuFile");
    made.file = file;
    a.mnuFileOpen = item(file, "&Open File...", "mnuFileOpen");
    a.mnuFileSave = item(file, "&Save...", "mnuFileSave");
    a.mnuFileSaveAs = item(file, "S&ave As...", "mnuFileSaveAs");
    a.mnuFileOpenBin = item(file, "&Load .bin To ROM", "mnuFileOpenBin");
    a.mnuFileSaveBin = item(file, "Sa&ve ROM to .bin", "mnuFileSaveBin");
    file->addSeparator()->setObjectName("mnuSep");
    a.mnuLoad = item(file, "Load Stock Program...", "mnuLoad");
    made.mruDivider = file->addSeparator();
    made.mruDivider->setObjectName("mnuFileMRUDivider");
    made.mruDivider->setVisible(false);
    made.binSep = file->addSeparator();
    made.binSep->setObjectName("mnuFileBinSep");
    a.mnuFileClose = item(file, "E&xit", "mnuFileClose");

    // Undo and redo of every change to the tune (UndoAndCompareCommands names the steps).
    QMenu *edit = menu(bar, "&Edit", "mnuEdit");
    a.mnuEditUndo = item(edit, "&Undo", "mnuEditUndo");
    a.mnuEditUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    a.mnuEditUndo->setEnabled(false);
    a.mnuEditRedo = item(edit, "&Redo", "mnuEditRedo");
    a.mnuEditRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    a.mnuEditRedo->setEnabled(false);

    QMenu *view = menu(bar, "&View", "mnuView");
    a.mnuViewToolbar = checkable(item(view, "&Toolbar", "mnuViewToolbar"));
    a.mnuViewToolbar->setChecked(true);
    a.mnuViewStatusBar = checkable(item(view, "Status &Bar", "mnuViewStatusBar"));
    a.mnuViewStatusBar->setChecked(true);
    // The 3D map view (a dock beside the grid) and the gauges window; their
    // commands attach to these items.
    view->addSeparator();
    a.mnuView3DMap = checkable(item(view, "&3D Map View", "mnuView3DMap"));
    a.mnuViewGauges = checkable(item(view, "&Gauges", "mnuViewGauges"));
    // The map grid's colours: the loop colours, or shades by value.
    view->addSeparator();
    a.mnuViewValueColours = checkable(item(view, "Colour Map Cells by &Value", "mnuViewValueColours"));

    QMenu *options = menu(bar, "&Options", "mnuOptions");
    a.mnuOptionsConnect = item(options, "Co&nnect To Vantrelle...", "mnuOptionsConnect");
    a.mnuOptionsRead = item(options, "&Read from Vantrelle...", "mnuOptionsRead");
    a.mnuOptionsWrite = item(options, "&Write to Vantrelle...", "mnuOptionsWrite");
    a.mnuOptionsWriteChanges = item(options, "Write C&hanges to Vantrelle...", "mnuOptionsWriteChanges");
    a.mnuOptionsRealTime = checkable(item(options, "Real-Time Mode", "mnuOptionsRealTime"));
    options->addSeparator();
    a.mnuOptionsSettings = item(options, "Connection &Settings...", "mnuOptionsSettings");
    options->addSeparator();
    a.mnuOptionsGridFont = item(options, "Set &Fuel/Timing Grid Font...", "mnuOptionsGridFont");

    QMenu *tools = menu(bar, "&Tools", "mnuTools");
    a.mnuToolsStagedRevLimiter = item(tools, "&Staged Rev Limiter...", "mnuToolsStagedRevLimiter");
    a.mnuToolsMapCopy = item(tools, "Co&py Fuel / Timing Maps...", "mnuToolsMapCopy");
    // A second tune beside the one being edited (UndoAndCompareCommands).
    QMenu *compare = tools->addMenu("Co&mpare");
    compare->setObjectName("mnuToolsCompare");
    a.mnuToolsCompareProject = item(compare, "With &Project File...", "mnuToolsCompareProject");
    a.mnuToolsCompareImage = item(compare, "With &Image File...", "mnuToolsCompareImage");
    a.mnuToolsCompareBox = item(compare, "With &Vantrelle Contents...", "mnuToolsCompareBox");
    a.mnuToolsCompareEnd = item(compare, "&End Comparison", "mnuToolsCompareEnd");
    a.mnuToolsCompareEnd->setEnabled(false);
    // Logs: the viewer and what it computes (AnalysisCommands).
    tools->addSeparator();
    a.mnuToolsDatalogViewer = item(tools, "Datalog &Viewer...", "mnuToolsDatalogViewer");
    a.mnuToolsMapOverlay = item(tools, "Map &Overlay from Log...", "mnuToolsMapOverlay");
    a.mnuToolsFuelCorrection = item(tools, "&Fuel Correction from Log...", "mnuToolsFuelCorrection");

    a.mnuCell = menu(bar, "&Cell", "mnuCell");
    a.mnuCell->menuAction()->setObjectName("mnuCellMenu");
    a.mnuCell->setEnabled(false);

    QMenu *logging = menu(bar, "&Data Logging", "mnuDataLogging");
    a.mnuDataLoggingSave = item(logging, "&Save Current Datalog...", "mnuDataLoggingSave");
    a.mnuDataLogClear = item(logging, "&Clear Real-Time Data Points", "mnuDataLogClear");
    QMenu *highlight = logging->addMenu("&Highlight Mode");
    highlight->setObjectName("mnuDataLoggingHighlight");
    a.mnuDataLoggingCurrentCell = checkable(item(highlight, "Current cell", "mnuDataLoggingCurrentCell"));
    a.mnuDataLoggingAllCells = checkable(item(highlight, "All cells", "mnuDataLoggingAllCells"));
    a.mnuDataLoggingSettings = item(logging, "S&ettings...", "mnuDataLoggingSettings");

    QMenu *help = menu(bar, "&Help", "mnuHelp");
    a.mnuHelpContents = item(help, "&Contents", "mnuHelpContents");
    a.mnuHelpSearch = item(help, "&Search For Help On...", "mnuHelpSearch");
    help->addSeparator();
    a.mnuHelpAbout = item(help, "&About...", "mnuHelpAbout");
    return made;
}

QToolBar *CreateToolBar(QMainWindow &window, MainActions &actions)
{
    QToolBar *toolBar = window.addToolBar("Toolbar");
    toolBar->setObjectName("tbToolBar");
    toolBar->setMovable(false);
    const struct
    {
        QAction *MainActions::*slot;
        const char *key;
        const char *tip;
        const char *icon;
        bool checkable;
    } buttons[] = {
        {&MainActions::tbOpen, "Open", "Open", "Open", false},
        {&MainActions::tbSave, "Save", "Save", "Save", false},
        {&MainActions::tbConnect, "Connect", "Connect to Vantrelle", "Conn", true},
        {&MainActions::tbRead, "Read", "Read from Vantrelle", "VntRead", false},
        {&MainActions::tbWrite, "Write", "Write to Vantrelle", "VntWrite", false},
        {&MainActions::tbRealTime, "RealTime", "Enable real-time mode", "RealTime", true},
    };
    for (const auto &b : buttons) {
        QAction *a = toolBar->addAction(ShellIcon(b.icon), QLatin1String(b.key));
        a->setObjectName(QStringLiteral("tb") + QLatin1String(b.key));
        a->setToolTip(QLatin1String(b.tip));
        a->setCheckable(b.checkable);
        actions.*b.slot = a;
        if (b.slot == &MainActions::tbSave)
            toolBar->addSeparator();
    }
    return toolBar;
}

StatusPanels CreateStatusPanels(QStatusBar &bar)
{
    StatusPanels made;
    const struct
    {
        QLabel *StatusPanels::*slot;
        const char *key;
        const char *text;
        const char *tip;
    } panels[] = {
        {&StatusPanels::Status, "Status", "Status", "Vantrelle Status"},
        {&StatusPanels::VntRTDisabled, "VntRTDisabled", "Real-time Disabled  ", nullptr},
        {&StatusPanels::VntRTEnabled, "VntRTEnabled", "Real-time Enabled  ", nullptr},
        {&StatusPanels::HardwareVersion, "HardwareVersion", "", "Vantrelle Version"},
    };
    for (const auto &p : panels) {
        auto *label = new QLabel(QLatin1String(p.text));
        label->setObjectName(QLatin1String(p.key));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        if (p.tip)
            label->setToolTip(QLatin1String(p.tip));
        bar.addWidget(label, p.slot == &StatusPanels::Status ? 1 : 0);
        made.*p.slot = label;
    }
    auto *clock = new QLabel;
    clock->setObjectName("Clock");
    clock->setFrameShape(QFrame::StyledPanel);
    clock->setFrameShadow(QFrame::Sunken);
    bar.addPermanentWidget(clock);
    made.Clock = clock;
    auto *timer = new QTimer(clock);
    auto tick = [clock] { clock->setText(QLocale().toString(QTime::currentTime(), QLocale::ShortFormat)); };
    QObject::connect(timer, &QTimer::timeout, clock, tick);
    tick();
    timer->start(1000);
    return made;
}

void ShowConnectionState(const ConnectionStateRow &row, const MainActions &actions, const StatusPanels &panels)
{
    for (const ConnectionChange &change : row.changes) {
        QList<QAction *> items;
        QLabel *label = nullptr;
        switch (change.control) {
        case ConnectionControl::Status:
            label = panels.Status;
            break;
        case ConnectionControl::ConnectItem:
            items = {actions.mnuOptionsConnect};
            break;
        case ConnectionControl::ConnectButton:
            items = {actions.tbConnect};
            break;
        case ConnectionControl::RealTimeButton:
            items = {actions.tbRealTime};
            break;
        case ConnectionControl::TransferCommands:
            items = {actions.tbRead, actions.tbWrite, actions.tbRealTime, actions.mnuOptionsRead,
                     actions.mnuOptionsWrite, actions.mnuOptionsRealTime};
            break;
        case ConnectionControl::ImageCommands:
            items = {actions.mnuFileOpenBin, actions.mnuFileSaveBin, actions.mnuLoad};
            break;
        case ConnectionControl::RealTimeDisabledPanel:
            label = panels.VntRTDisabled;
            break;
        case ConnectionControl::RealTimeEnabledPanel:
            label = panels.VntRTEnabled;
            break;
        }
        const QString text = QLatin1String(change.text);
        switch (change.property) {
        case ControlProperty::Text:
            if (label)
                label->setText(text);
            for (QAction *a : items)
                a->setText(text);
            break;
        case ControlProperty::ToolTip:
            for (QAction *a : items)
                a->setToolTip(text);
            break;
        case ControlProperty::Pressed:
            for (QAction *a : items)
                a->setChecked(change.on);
            break;
        case ControlProperty::Enabled:
            for (QAction *a : items)
                a->setEnabled(change.on);
            break;
        case ControlProperty::Visible:
            if (label)
                label->setVisible(change.on);
            break;
        }
    }
}
