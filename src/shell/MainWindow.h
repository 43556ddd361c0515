#pragma once

#include <QObject>
#include <QString>
#include <QWidget>
#include <functional>

class PanelTable;
class QAction;
class QDockWidget;
class QLabel;
class QMenu;
struct MainWindowPrefs;
struct ProgramState;
struct UiServices;

// The main window's menu items and toolbar buttons, by their control names.
// Commands reach them here, so that a wrong name does not compile.
struct MainActions
{
    // "&File"
    QAction *mnuFileOpen = nullptr;
    QAction *mnuFileSave = nullptr;
    QAction *mnuFileSaveAs = nullptr;
    QAction *mnuFileOpenBin = nullptr;
    QAction *mnuFileSaveBin = nullptr;
    QAction *mnuLoad = nullptr;
    QAction *mnuFileClose = nullptr;
    // "&Edit"
    QAction *mnuEditUndo = nullptr;
    QAction *mnuEditRedo = nullptr;
    // "&View"
    QAction *mnuViewToolbar = nullptr;
    QAction *mnuViewStatusBar = nullptr;
    QAction *mnuView3DMap = nullptr;
    QAction *mnuViewGauges = nullptr;
    QAction *mnuViewValueColours = nullptr;
    // "&Options"
    QAction *mnuOptionsConnect = nullptr;
    QAction *mnuOptionsRead = nullptr;
    QAction *mnuOptionsWrite = nullptr;
    QAction *mnuOptionsWriteChanges = nullptr;
    QAction *mnuOptionsRealTime = nullptr;
    QAction *mnuOptionsSettings = nullptr;
    QAction *mnuOptionsGridFont = nullptr;
    // "&Tools"
    QAction *mnuToolsStagedRevLimiter = nullptr;
    QAction *mnuToolsMapCopy = nullptr;
    QAction *mnuToolsCompareProject = nullptr;
    QAction *mnuToolsCompareImage = nullptr;
    QAction *mnuToolsCompareBox = nullptr;
    QAction *mnuToolsCompareEnd = nullptr;
    QAction *mnuToolsDatalogViewer = nullptr;
    QAction *mnuToolsMapOverlay = nullptr;
    QAction *mnuToolsFuelCorrection = nullptr;
    // "&Cell": the grid's items join it.
    QMenu *mnuCell = nullptr;
    // "&Data Logging"
    QAction *mnuDataLoggingSave = nullptr;
    QAction *mnuDataLogClear = nullptr;
    QAction *mnuDataLoggingCurrentCell = nullptr;
    QAction *mnuDataLoggingAllCells = nullptr;
    QAction *mnuDataLoggingSettings = nullptr;
    // "&Help"
    QAction *mnuHelpContents = nullptr;
    QAction *mnuHelpSearch = nullptr;
    QAction *mnuHelpAbout = nullptr;
    // The toolbar, by button key.
    QAction *tbOpen = nullptr;
    QAction *tbSave = nullptr;
    QAction *tbConnect = nullptr;
    QAction *tbRead = nullptr;
    QAction *tbWrite = nullptr;
    QAction *tbRealTime = nullptr;
};

// The status bar's panels, by key.
struct StatusPanels
{
    QLabel *Status = nullptr;
    QLabel *VntRTDisabled = nullptr;
    QLabel *VntRTEnabled = nullptr;
    QLabel *HardwareVersion = nullptr;
    QLabel *Clock = nullptr;
};

// What the window tells the commands.
class MainWindowEvents : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // SelectPanel ran for this panel index.
    void panelSelected(int index);
    // A whole tune came in (a project opened, the box read): the tree is
    // about to be built for it.
    void tuneReplaced();
    // The tune was written to its project file.
    void tuneSaved();
};

// What the window asks of the commands; each is installed by the command
// that owns it, and an empty one is skipped.
struct MainWindowHooks
{
    std::function<bool(const QString &)> openProject;  // OpenProject + report, true on success
    std::function<void(const QString &)> onMRUClicked; // a recently used entry was chosen
    std::function<void()> switchRealTimeOff;           // leave real-time mode (a disconnect, the exit)
    std::function<bool()> onSaveBeforeExit;            // File > Save when the user asks; true when saved
    // Before the tune is replaced: the Yes/No/Cancel offer to save changes;
    // false when the step must not go on (Cancel, or a save that did not happen).
    std::function<bool()> offerToSaveChanges;
    // Before the running data log would be discarded: false to keep running.
    std::function<bool()> offerToSaveLog;
};

// The main window as the commands behind its menus see it.
class MainWindow
{
public:
    // The window as a widget: the owner of dialogs and of the commands.
    virtual QWidget *DialogParent() = 0;

    virtual ProgramState &State() = 0;
    virtual const MainWindowPrefs &Prefs() const = 0;
    virtual UiServices &Ui() = 0;
    virtual const MainActions &Actions() const = 0;
    virtual const StatusPanels &StatusBarPanels() const = 0;
    virtual MainWindowEvents &Events() = 0;
    virtual MainWindowHooks &Hooks() = 0;
    virtual const PanelTable &Panels() const = 0;

    // Stores the connection state and shows it in menus, toolbar and status bar.
    virtual void SetConnectionState(int state) = 0;
    // Rebuilds the tree for a new tune and shows General Settings.
    virtual void BuildTree() = 0;
    virtual void SelectPanel(int index) = 0;
    // True once a tune is on screen (the tree is shown).
    virtual bool TuneShown() const = 0;
    // Moves the focus to the tree, which ends an edit in progress through
    // its own validation.
    virtual void EndEdit() = 0;

    // The strip of live values below the panels, and the layout again after
    // real-time mode changed.
    virtual QWidget *RealTimeStrip() = 0;
    virtual void Relayout() = 0;
    // Docks a widget beside the panels.
    virtual void AddDock(QDockWidget *dock) = 0;

    // A message over the status bar's panels for ms milliseconds.
    virtual void ShowStatusMessage(const QString &text, int ms) = 0;
    // How long a transfer's summary stays: long enough to be read; the
    // status bar's panels come back after it.
    static constexpr int StatusMessageMs = 20000;
    virtual void SetTitle(const QString &title) = 0;
    virtual QString CurrentFileName() const = 0;
    virtual void SetCurrentFileName(const QString &path) = 0;
    virtual void UpdateMRUList(const QString &path, bool atEnd) = 0;

protected:
    ~MainWindow() = default;
};
