#include "shell/frmMain.h"

#include "model/ProgramState.h"
#include "platform/SettingsStore.h"
#include "platform/WindowLayout.h"
#include "platform/ui/Actions.h"
#include "shell/MessageStatusBar.h"
#include "shell/WindowSettings.h"

#include <QAction>
#include <QDockWidget>
#include <QLayout>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

frmMain::frmMain(ProgramState &state, WindowSettings &prefs, SettingsStore &store, QWidget *parent)
    : QMainWindow(parent), m_state(state), m_prefs(prefs), m_store(store)
{
    setObjectName("frmMain");
    SetTitle("Vantrelle");
    setWindowIcon(AppIcon("RealTimeSetup"));

    m_menus = CreateMenus(*this);
    m_toolBar = CreateToolBar(*this);
    setStatusBar(new MessageStatusBar);
    m_statusPanels = CreateStatusPanels(*statusBar());
    connect(m_menus.mnuFileClose, &QAction::triggered, this, &QWidget::close);
    connect(m_menus.mnuViewToolbar, &QAction::triggered, this, &frmMain::toggleToolbar);
    connect(m_menus.mnuViewStatusBar, &QAction::triggered, this, &frmMain::toggleStatusBar);

    createClientArea();
}

frmMain::~frmMain() = default;

void frmMain::AddAction(MenuPlace place, QAction *action)
{
    m_menus.Add(place, action);
}

QMenu *frmMain::AddSubmenu(MenuPlace place, const QString &title, const QString &objectName)
{
    auto *submenu = new QMenu(title, this);
    submenu->setObjectName(objectName);
    m_menus.Add(place, submenu->menuAction());
    return submenu;
}

void frmMain::AddToolBarAction(ToolBarPlace place, QAction *action)
{
    m_toolBar.bar->insertAction(place == ToolBarPlace::File ? m_toolBar.fileAnchor : m_toolBar.linkAnchor, action);
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

void frmMain::Load()
{
    m_splitterLeft = m_prefs.SplitterX();
    setMinimumWidth(ToPixels(WindowLayout::MinimumWindowWidth));
    placeFromPrefs();
    SelectPanel(m_state.CurrentPanel);
    m_currentFileName.clear();
    m_mru.Load(m_store);
    rebuildMRUMenu();
    Relayout();
}

void frmMain::BuildTree()
{
    m_tree->setVisible(true);
    m_tree->blockSignals(true);
    m_tree->clear();
    QTreeWidgetItem *global = nullptr;
    QTreeWidgetItem *general = nullptr;
    for (const NavigationNode &node : NavigationNodes()) {
        QTreeWidgetItem *item = node.parentKey ? new QTreeWidgetItem(global) : new QTreeWidgetItem(m_tree);
        item->setText(0, QLatin1String(node.caption));
        // A narrow tree cuts the longer names short: the whole name on hover.
        item->setToolTip(0, QLatin1String(node.caption));
        item->setData(0, Qt::UserRole, node.panel);
        item->setData(0, Qt::UserRole + 1, QLatin1String(node.key));
        if (node.icon)
            item->setIcon(0, AppIcon(node.icon));
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
    if (m_stripShown)
        Relayout();
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
    emit m_events.panelSelected(index);
}

void frmMain::RefreshPanel()
{
    SelectPanel(m_state.CurrentPanel);
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

void frmMain::ShowRealTimeStrip(bool shown)
{
    m_stripShown = shown;
    m_picRealTime->setVisible(shown);
    Relayout();
}

void frmMain::ShowStatusMessage(const QString &text, int ms)
{
    statusBar()->showMessage(text, ms);
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
    QMenu *file = m_menus.file;
    for (QAction *a : m_mruItems) {
        // The item may be the one whose click led here: let it finish first.
        file->removeAction(a);
        a->setObjectName(QString());
        a->deleteLater();
    }
    m_mruItems.clear();
    const QStringList &entries = m_mru.entries();
    m_menus.mruDivider->setVisible(!entries.isEmpty());
    for (int n = 1; n <= entries.size(); ++n) {
        auto *a = new QAction(RecentFiles::Caption(n, entries[n - 1]), file);
        a->setObjectName(QStringLiteral("mnuFileMRU%1").arg(n));
        const QString path = entries[n - 1];
        connect(a, &QAction::triggered, this, [this, path] { emit m_events.recentFileChosen(path); });
        file->insertAction(m_menus.binSep, a);
        m_mruItems << a;
    }
}

void frmMain::toggleToolbar()
{
    m_toolBar.bar->setVisible(m_menus.mnuViewToolbar->isChecked());
    Relayout();
}

void frmMain::toggleStatusBar()
{
    statusBar()->setVisible(m_menus.mnuViewStatusBar->isChecked());
    Relayout();
}
