#pragma once

#include "model/RecentFiles.h"
#include "shell/MainMenus.h"
#include "shell/MainWindow.h"
#include "shell/NavigationTree.h"
#include "shell/Panels.h"

#include <QMainWindow>
#include <array>
#include <vector>

class ProgramState;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class SettingsStore;
class WelcomePanel;
class WindowSettings;

// The main window: navigation tree, panel containers, menus, toolbar, status
// bar and the splitter between tree and panels. The commands behind the
// menus live with their features, which create their own items and reach
// the window through the parts of MainWindow they need.
//
// frmMain.cpp holds the tree, the panels, the places and the recently used
// list; MainWindowLayout.cpp the geometry (splitter, panel area, twips);
// MainWindowClose.cpp the unload; MainMenus.cpp builds the menus, toolbar
// and status bar.
class frmMain : public QMainWindow, public MainWindow
{
    Q_OBJECT
public:
    frmMain(ProgramState &state, WindowSettings &prefs, SettingsStore &store, QWidget *parent = nullptr);
    ~frmMain() override;

    // The load steps that follow creation: geometry, the panel on show and
    // the recently used list.
    void Load();

    // WindowPlaces
    QWidget *DialogParent() override { return this; }
    void AddAction(MenuPlace place, QAction *action) override;
    QMenu *AddSubmenu(MenuPlace place, const QString &title, const QString &objectName) override;
    void AddToolBarAction(ToolBarPlace place, QAction *action) override;
    QMenu *CellMenu() override { return m_menus.cell; }
    void AddDock(QDockWidget *dock) override;
    QWidget *RealTimeStrip() override { return m_picRealTime; }
    void ShowRealTimeStrip(bool shown) override;
    void Relayout() override { SizeControls(m_splitterLeft); }
    // StatusLine
    void ShowStatusMessage(const QString &text, int ms) override;
    // TuneView
    void BuildTree() override;
    void SelectPanel(int index) override;
    void RefreshPanel() override;
    bool TuneShown() const override;
    void EndEdit() override;
    // ProjectDocument
    // The title with the mark of unsaved changes ("*", shown while the
    // window is marked modified).
    void SetTitle(const QString &title) override { setWindowTitle(title + QStringLiteral("[*]")); }
    QString CurrentFileName() const override { return m_currentFileName; }
    void SetCurrentFileName(const QString &path) override { m_currentFileName = path; }
    void UpdateMRUList(const QString &path, bool atEnd) override;
    // MainWindow
    MainWindowEvents &Events() override { return m_events; }
    const StatusPanels &StatusBarPanels() const override { return m_statusPanels; }
    void AddUnloadParticipant(UnloadParticipant *participant) override { m_unloadParticipants.push_back(participant); }

    void ShowPanel(int index, bool show);
    void SizeControls(double x);

    // Puts a panel into the table and its widget into the container of its
    // index (7..12 share one).
    void SetPanel(int index, TunePanel *panel);
    const PanelTable &Panels() const { return m_panels; }

    int CurrentNodePanel() const { return m_currentNodePanel; }
    const RecentFiles &RecentList() const { return m_mru; }
    // The menu item of recently used entry n (1-based); nullptr when none.
    QAction *RecentItem(int n) const;
    QAction *RecentDivider() const { return m_menus.mruDivider; }

    QWidget *Container(int index) const;
    // The ways in, shown until the first tune arrives.
    WelcomePanel &Welcome() const { return *m_welcome; }
    QTreeWidget *Tree() const { return m_tree; }
    QToolBar *ToolBar() const { return m_toolBar.bar; }
    QWidget *SplitterImage() const { return m_imgSplitter; }
    QWidget *SplitterBar() const { return m_picSplitter; }
    double SplitterLeftTwips() const { return m_splitterLeft; }

    // Twips of the window's screen, horizontally and vertically.
    int ToPixels(double twips) const;
    double ToTwips(int pixels) const;
    int ToPixelsY(double twips) const;
    double ToTwipsY(int pixels) const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createClientArea();
    void rebuildMRUMenu();
    void nodeClicked(QTreeWidgetItem *node);
    void toggleToolbar();
    void toggleStatusBar();
    void placeFromPrefs();

    ProgramState &m_state;
    WindowSettings &m_prefs;
    SettingsStore &m_store;
    MainWindowEvents m_events;
    MainMenuBar m_menus;
    MainToolBar m_toolBar;
    StatusPanels m_statusPanels;
    std::vector<UnloadParticipant *> m_unloadParticipants;

    QString m_currentFileName;
    RecentFiles m_mru;
    int m_currentNodePanel = 0;
    bool m_splitterMoving = false;
    double m_splitterLeft = 2500; // twips
    bool m_stripShown = false;
    bool m_unloading = false;

    QTreeWidget *m_tree = nullptr;
    QWidget *m_client = nullptr;
    QWidget *m_imgSplitter = nullptr;
    QWidget *m_picSplitter = nullptr;
    QWidget *m_picRealTime = nullptr;
    WelcomePanel *m_welcome = nullptr;
    QList<QAction *> m_mruItems;
    std::array<QWidget *, PanelCount> m_containers{};
    PanelTable m_panels;
};
