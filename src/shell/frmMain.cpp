#include "shell/frmMain.h"

#include "link/ConnectionStates.h"
#include "model/ProgramState.h"
#include "platform/WindowLayout.h"
#include "shell/MainMenus.h"
#include "shell/WindowSettings.h"
#include "daq/DaqSettings.h"
#include "link/LinkSettings.h"
#include "shell/MainWindowPrefs.h"

#include <QAction>
#include <QDockWidget>
#include <QLayout>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

frmMain::frmMain(ProgramState &state, const MainWindowPrefs &prefs, UiServices &ui, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_prefs(prefs), m_ui(ui)
{
    setObjectName("frmMain");
    setWindowTitle("Vantrelle");
    setWindowIcon(ShellIcon("RealTimeSetup"));

    const MainMenuBar menus = CreateMenus(*this);
    m_actions = menus.actions;
    m_fileMenu = menus.file;
    m_mruDivider = menus.mruDivider;
    m_binSep = menus.binSep;
    m_toolBar = CreateToolBar(*this, m_actions);
    m_statusPanels = CreateStatusPanels(*statusBar());
    connect(m_actions.mnuFileClose, &QAction::triggered, this, &QWidget::close);
    connect(m_actions.mnuViewToolbar, &QAction::triggered, this, &frmMain::toggleToolbar);
    connect(m_actions.mnuViewStatusBar, &QAction::triggered, this, &frmMain::toggleStatusBar);

    createClientArea();
}

frmMain::~frmMain() = default;

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

    (m_prefs.daq.HighlightMode() == 1 ? m_actions.mnuDataLoggingAllCells : m_actions.mnuDataLoggingCurrentCell)->trigger();

    m_mru.Load(m_prefs.store);
    rebuildMRUMenu();

    if (!commandLine.isEmpty()) {
        QString path = commandLine;
        path.remove(QLatin1Char('"'));
        if (m_hooks.openProject)
            m_hooks.openProject(path);
        UpdateMRUList(path, false);
    }
    Relayout();
}

void frmMain::BuildTree()
{
    emit m_events.tuneReplaced();
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
            item->setIcon(0, ShellIcon(node.icon));
        if (!node.parentKey && qstrcmp(node.key, "GLOBAL") == 0)
            global = item;
        if (qstrcmp(node.key, "GENERAL") == 0)
            general = item;
    }
    global->setExpanded(true);
    m_tree->setCurrentItem(general);
    m_tree->blockSignals(false);
    nodeClicked(general);
    Relayout();
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
    m_actions.mnuCell->setEnabled(IsMapPanel(index));
    emit m_events.panelSelected(index);
}

bool frmMain::TuneShown() const
{
    return m_tree->isVisibleTo(this);
}

void frmMain::EndEdit()
{
    if (TuneShown())
        m_tree->setFocus();
}

void frmMain::AddDock(QDockWidget *dock)
{
    addDockWidget(Qt::RightDockWidgetArea, dock);
}

void frmMain::ShowStatusMessage(const QString &text, int ms)
{
    statusBar()->showMessage(text, ms);
}

void frmMain::SetConnectionState(int state)
{
    m_prefs.link.SetConnectionState(state);
    const ConnectionStateRow *row = ConnectionStateRowOf(state);
    if (!row)
        return;
    ShowConnectionState(*row, m_actions, m_statusPanels);
    if (row->endsRealTime && m_state.RealTimeEnabled && m_hooks.switchRealTimeOff)
        m_hooks.switchRealTimeOff();
}

void frmMain::UpdateMRUList(const QString &path, bool atEnd)
{
    m_mru.Update(path, atEnd);
    rebuildMRUMenu();
}

QAction *frmMain::RecentItem(int n) const
{
    return n >= 1 && n <= m_mruItems.size() ? m_mruItems[n - 1] : nullptr;
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
            if (m_hooks.onMRUClicked)
                m_hooks.onMRUClicked(path);
        });
        m_fileMenu->insertAction(m_binSep, a);
        m_mruItems << a;
    }
}

void frmMain::toggleToolbar()
{
    m_toolBar->setVisible(m_actions.mnuViewToolbar->isChecked());
    Relayout();
}

void frmMain::toggleStatusBar()
{
    statusBar()->setVisible(m_actions.mnuViewStatusBar->isChecked());
    Relayout();
}
