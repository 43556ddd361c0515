#pragma once

#include "editors/ui/Panel.h"
#include "platform/WindowLayout.h"
#include "shell/NavigationTree.h"
#include "model/RecentFiles.h"
#include "shell/MainWindowPrefs.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

class QLabel;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
struct ProgramState;
struct UiServices;

// The main window: navigation tree, panel containers, menus, toolbar, status
// bar and the splitter between tree and panels. The commands behind the menus
// live in their own classes and reach the window through its public
// operations.
class frmMain : public QMainWindow
{
    Q_OBJECT
public:
    frmMain(ProgramState &state, const MainWindowPrefs &prefs, UiServices &ui, QWidget *parent = nullptr);
    ~frmMain() override;

    // The load steps that follow creation: geometry, connection state 0,
    // flags, highlight mode, recently used list, and the command-line project.
    void Load(const QString &commandLine);

    void BuildTree();
    void ShowPanel(int index, bool show);
    void SelectPanel(int index);
    void SizeControls(double x);
    void SetConnectionState(int state);
    void UpdateMRUList(const QString &path, bool atEnd);

    // Puts a panel into the table and its widget into the container of its
    // index (7..12 share one).
    void SetPanel(int index, TunePanel *panel);
    const PanelTable &Panels() const { return m_panels; }

    QString CurrentFileName() const { return m_currentFileName; }
    void SetCurrentFileName(const QString &path) { m_currentFileName = path; }
    int CurrentNodePanel() const { return m_currentNodePanel; }
    const RecentFiles &RecentList() const { return m_mru; }

    // A menu item or toolbar button by its control name or key.
    QAction *Action(const QString &name) const;
    QWidget *Container(int index) const;
    QLabel *StatusPanel(const QString &key) const;
    QTreeWidget *Tree() const { return m_tree; }
    QWidget *RealTimeStrip() const { return m_picRealTime; }
    QToolBar *ToolBar() const { return m_toolBar; }
    QWidget *SplitterImage() const { return m_imgSplitter; }
    QWidget *SplitterBar() const { return m_picSplitter; }
    double SplitterLeftTwips() const { return m_splitterLeft; }

    // Twips of the window's screen, horizontally and vertically.
    int ToPixels(double twips) const;
    double ToTwips(int pixels) const;
    int ToPixelsY(double twips) const;
    double ToTwipsY(int pixels) const;

    ProgramState &State() { return m_state; }
    const MainWindowPrefs &Prefs() const { return m_prefs; }
    UiServices &Ui() { return m_ui; }

    // Hooks the command classes install.
    std::function<bool(const QString &)> openProject;   // OpenProject + report, true on success
    std::function<void(const QString &)> onMRUClicked;  // a recently used entry was chosen
    std::function<void()> switchRealTimeOff;          // leave real-time mode before closing
    std::function<bool()> onSaveBeforeExit;             // File > Save when the user asks; true when saved
    // Before the tune is replaced: the Yes/No/Cancel offer to save changes;
    // false when the step must not go on (Cancel, or a save that did not happen).
    std::function<bool()> offerToSaveChanges;
    // Before the running data log would be discarded: false to keep running.
    std::function<bool()> offerToSaveLog;

signals:
    void panelSelected(int index);
    // A whole tune came in (a project opened, the box read): the tree is
    // about to be built for it.
    void tuneReplaced();
    // The tune was written to its project file.
    void tuneSaved();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createClientArea();
    void rebuildMRUMenu();
    void nodeClicked(QTreeWidgetItem *node);
    void toggleToolbar();
    void toggleStatusBar();
    void applyLayout();
    QAction *addItem(QMenu *menu, const QString &caption, const char *name);
    void placeFromPrefs();
    // The questions that could keep the program running; false on Cancel.
    bool mayUnload();

    ProgramState &m_state;
    MainWindowPrefs m_prefs;
    UiServices &m_ui;

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
