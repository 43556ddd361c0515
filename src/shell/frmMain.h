#pragma once

#include "model/RecentFiles.h"
#include "shell/MainWindow.h"
#include "shell/MainWindowPrefs.h"
#include "shell/NavigationTree.h"
#include "shell/Panels.h"

#include <QMainWindow>
#include <array>

class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// The main window: navigation tree, panel containers, menus, toolbar, status
// bar and the splitter between tree and panels. The commands behind the menus
// live in their own classes and reach the window through MainWindow.
//
// frmMain.cpp holds the tree, the panels, the load and the recently used
// list; MainWindowLayout.cpp the geometry (splitter, panel area, twips);
// MainWindowClose.cpp the unload; MainMenus.cpp builds the menus, toolbar
// and status bar.
class frmMain : public QMainWindow, public MainWindow
{
    Q_OBJECT
public:
    frmMain(ProgramState &state, const MainWindowPrefs &prefs, UiServices &ui, QWidget *parent = nullptr);
    ~frmMain() override;

    // The load steps that follow creation: geometry, connection state 0,
    // flags, highlight mode, recently used list, and the command-line project.
    void Load(const QString &commandLine);

    // MainWindow
    QWidget *DialogParent() override { return this; }
    ProgramState &State() override { return m_state; }
    const MainWindowPrefs &Prefs() const override { return m_prefs; }
    UiServices &Ui() override { return m_ui; }
    const MainActions &Actions() const override { return m_actions; }
    const StatusPanels &StatusBarPanels() const override { return m_statusPanels; }
    MainWindowEvents &Events() override { return m_events; }
    MainWindowHooks &Hooks() override { return m_hooks; }
    const PanelTable &Panels() const override { return m_panels; }
    void SetConnectionState(int state) override;
    void BuildTree() override;
    void SelectPanel(int index) override;
    bool TuneShown() const override;
    void EndEdit() override;
    QWidget *RealTimeStrip() override { return m_picRealTime; }
    void Relayout() override { SizeControls(m_splitterLeft); }
    void AddDock(QDockWidget *dock) override;
    void ShowStatusMessage(const QString &text, int ms) override;
    void SetTitle(const QString &title) override { setWindowTitle(title); }
    QString CurrentFileName() const override { return m_currentFileName; }
    void SetCurrentFileName(const QString &path) override { m_currentFileName = path; }
    void UpdateMRUList(const QString &path, bool atEnd) override;

    void ShowPanel(int index, bool show);
    void SizeControls(double x);

    // Puts a panel into the table and its widget into the container of its
    // index (7..12 share one).
    void SetPanel(int index, TunePanel *panel);

    int CurrentNodePanel() const { return m_currentNodePanel; }
    const RecentFiles &RecentList() const { return m_mru; }
    // The menu item of recently used entry n (1-based); nullptr when none.
    QAction *RecentItem(int n) const;
    QAction *RecentDivider() const { return m_mruDivider; }

    QWidget *Container(int index) const;
    QTreeWidget *Tree() const { return m_tree; }
    QToolBar *ToolBar() const { return m_toolBar; }
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
    // The questions that could keep the program running; false on Cancel.
    bool mayUnload();

    ProgramState &m_state;
    MainWindowPrefs m_prefs;
    UiServices &m_ui;
    MainWindowEvents m_events;
    MainWindowHooks m_hooks;
    MainActions m_actions;
    StatusPanels m_statusPanels;

    QString m_currentFileName;
    RecentFiles m_mru;
    int m_currentNodePanel = 0;
    bool m_splitterMoving = false;
    double m_splitterLeft = 2500;     // twips
    bool m_unloading = false;

    QTreeWidget *m_tree = nullptr;
    QWidget *m_client = nullptr;
    QWidget *m_imgSplitter = nullptr;
    QWidget *m_picSplitter = nullptr;
    QWidget *m_picRealTime = nullptr;
    QToolBar *m_toolBar = nullptr;
    QTimer *m_clock = nullptr;
    QMenu *m_fileMenu = nullptr;
    QAction *m_mruDivider = nullptr;
    QAction *m_binSep = nullptr;
    QList<QAction *> m_mruItems;
    std::array<QWidget *, PanelCount> m_containers{};
    PanelTable m_panels;
};
