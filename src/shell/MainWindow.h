#pragma once

#include <QObject>
#include <QString>

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QWidget;

// The groups of the main window's menus, in the order the menus show them.
// A feature puts its items into the group they belong to; items added to one
// group keep the order they were added in.
enum class MenuPlace {
    FileProject,         // "&File": open and save the project
    FileImages,          // whole images between files and the box
    FileStock,           // the stock programs
    Edit,                // undo and redo
    ViewWindows,         // "&View": the 3D map view, the gauges
    ViewGrid,            // the map grid's look
    OptionsLink,         // "&Options": connect, read, write, real-time mode
    OptionsLinkSettings, // the connection's settings
    OptionsGrid,         // the grid's font
    ToolsLive,           // "&Tools": what acts on the running engine
    ToolsMaps,           // map copy
    ToolsCompare,        // comparison with a second tune
    ToolsLogs,           // the datalog viewer and what it computes
    Cell,                // the "&Cell" menu of the map grid
    DataLoggingLog,      // "&Data Logging": the running log
    DataLoggingTrace,    // the trace marks
    DataLoggingSettings, // the log's settings
    HelpTopics,          // "&Help": the guide
    HelpAbout,           // the about box
};

// The toolbar's groups: the project's buttons, then the link's.
enum class ToolBarPlace { File, Link };

// Where the features of the window put their commands and views.
class WindowPlaces
{
public:
    // The window as a widget: the owner of the features' dialogs and objects.
    virtual QWidget *DialogParent() = 0;
    virtual void AddAction(MenuPlace place, QAction *action) = 0;
    // A submenu at a place; its items belong to the caller.
    virtual QMenu *AddSubmenu(MenuPlace place, const QString &title, const QString &objectName) = 0;
    virtual void AddToolBarAction(ToolBarPlace place, QAction *action) = 0;
    // The "&Cell" menu itself (its availability is a command of its own).
    virtual QMenu *CellMenu() = 0;
    // Docks a widget beside the panels.
    virtual void AddDock(QDockWidget *dock) = 0;
    // The strip of live values below the panels; shown or hidden, the
    // window lays itself out again.
    virtual QWidget *RealTimeStrip() = 0;
    virtual void ShowRealTimeStrip(bool shown) = 0;
    virtual void Relayout() = 0;

protected:
    ~WindowPlaces() = default;
};

// The status bar's line for passing messages.
class StatusLine
{
public:
    // How long a transfer's summary stays: long enough to be read; the
    // status bar's panels come back after it.
    static constexpr int StatusMessageMs = 20000;
    // A message over the status bar's panels for ms milliseconds.
    virtual void ShowStatusMessage(const QString &text, int ms) = 0;

protected:
    ~StatusLine() = default;
};

// The status bar's panels, by key; the connection shows its state in them.
struct StatusPanels
{
    QLabel *Status = nullptr;
    QLabel *VntRTDisabled = nullptr;
    QLabel *VntRTEnabled = nullptr;
    QLabel *HardwareVersion = nullptr;
    QLabel *Playback = nullptr; // a log, not the engine, drives the live views
    QLabel *Clock = nullptr;
};

// The tune on screen: the navigation tree and the panel it selects.
class TuneView
{
public:
    // Rebuilds the tree for a new tune and shows General Settings.
    virtual void BuildTree() = 0;
    virtual void SelectPanel(int index) = 0;
    // The panel on show refills itself from the tune.
    virtual void RefreshPanel() = 0;
    // True once a tune is on screen (the tree is shown).
    virtual bool TuneShown() const = 0;
    // Moves the focus to the tree, which ends an edit in progress through
    // its own validation.
    virtual void EndEdit() = 0;

protected:
    ~TuneView() = default;
};

// The project file the tune belongs to: the window's title, the current
// file's name and the recently used list.
class ProjectDocument
{
public:
    virtual void SetTitle(const QString &title) = 0;
    virtual QString CurrentFileName() const = 0;
    virtual void SetCurrentFileName(const QString &path) = 0;
    virtual void UpdateMRUList(const QString &path, bool atEnd) = 0;

protected:
    ~ProjectDocument() = default;
};

// Asked, in the order they were added, before the window closes: a false
// answer keeps the program (and everything in it) running. Once every one
// agreed, each is told the window is going.
class UnloadParticipant
{
public:
    virtual bool MayUnload() = 0;
    virtual void Unloading() {}

protected:
    ~UnloadParticipant() = default;
};

// Asked before a whole tune replaces the one on screen (a read from the box,
// a stock program): the offer to save unsaved changes. False when the step
// must not go on (Cancel, or a save that did not happen).
class UnsavedChangesGuard
{
public:
    virtual bool OfferToSaveChanges() = 0;

protected:
    ~UnsavedChangesGuard() = default;
};

// What the window tells the features.
class MainWindowEvents : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // SelectPanel ran for this panel index.
    void panelSelected(int index);
    // A recently used entry was chosen.
    void recentFileChosen(const QString &path);
};

// The main window as its features see it: each takes the parts it needs.
class MainWindow : public WindowPlaces, public StatusLine, public TuneView, public ProjectDocument
{
public:
    virtual MainWindowEvents &Events() = 0;
    virtual const StatusPanels &StatusBarPanels() const = 0;
    virtual void AddUnloadParticipant(UnloadParticipant *participant) = 0;

protected:
    ~MainWindow() = default;
};
