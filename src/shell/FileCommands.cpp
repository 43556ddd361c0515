#include "shell/FileCommands.h"

#include "model/ProgramState.h"
#include "model/ProjectFile.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/SaveFileName.h"
#include "platform/UiServices.h"
#include "platform/ui/Actions.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

FileCommands::FileCommands(MainWindow &window, ProgramState &state, UiServices &ui)
    : QObject(window.DialogParent()), m_window(window), m_state(state), m_ui(ui)
{
    QAction *open = NewAction(this, "&Open File...", "mnuFileOpen");
    QAction *save = NewAction(this, "&Save...", "mnuFileSave");
    QAction *saveAs = NewAction(this, "S&ave As...", "mnuFileSaveAs");
    open->setShortcut(QKeySequence::Open);
    save->setShortcut(QKeySequence::Save);
    saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    for (QAction *a : {open, save, saveAs})
        window.AddAction(MenuPlace::FileProject, a);
    QAction *openButton = NewAction(this, "Open", "tbOpen");
    openButton->setIcon(AppIcon("Open"));
    QAction *saveButton = NewAction(this, "Save", "tbSave");
    saveButton->setIcon(AppIcon("Save"));
    for (QAction *a : {openButton, saveButton})
        window.AddToolBarAction(ToolBarPlace::File, a);

    connect(open, &QAction::triggered, this, &FileCommands::Open);
    connect(openButton, &QAction::triggered, this, &FileCommands::Open);
    connect(save, &QAction::triggered, this, &FileCommands::Save);
    connect(saveButton, &QAction::triggered, this, &FileCommands::Save);
    connect(saveAs, &QAction::triggered, this, &FileCommands::SaveAs);
    connect(&window.Events(), &MainWindowEvents::recentFileChosen, this, &FileCommands::OpenRecent);
    window.AddUnloadParticipant(this);
}

bool FileCommands::OfferToSaveChanges()
{
    if (!m_state.Modified())
        return true;
    const MsgAnswer answer = m_ui.messages.show(m_window.DialogParent(), "Do you wish to save the current changes?",
                                                MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgAnswer::Cancel)
        return false;
    // A save that was cancelled or failed must not go on to drop the changes.
    return answer == MsgAnswer::No || Save();
}

bool FileCommands::MayUnload()
{
    if (!m_state.Modified())
        return true;
    const MsgAnswer answer = m_ui.messages.show(m_window.DialogParent(), "Save changes before exiting?",
                                                MsgIcon::Question, MsgButtons::YesNoCancel);
    // A save cancelled or failed keeps the program, and the changes, running.
    return answer == MsgAnswer::No || (answer == MsgAnswer::Yes && Save());
}

void FileCommands::OpenCommandLine(const QString &commandLine)
{
    if (commandLine.isEmpty())
        return;
    QString path = commandLine;
    path.remove(QLatin1Char('"'));
    // The tune belongs to the file it came from, as one opened from the
    // menu does: Save writes it back there.
    openChosen(path);
}

bool FileCommands::OpenProject(const QString &path)
{
    return load(path) == Loaded::Yes;
}

FileCommands::Loaded FileCommands::load(const QString &path)
{
    // A file that does not look like a project (empty, cut short, another
    // program's file renamed) would replace every map with zeros or rubbish.
    const auto confirm = [this](const QString &warning) {
        return m_ui.messages.show(m_window.DialogParent(), warning + "\n\nOpen it anyway?", MsgIcon::Exclamation,
                                  MsgButtons::YesNo) == MsgAnswer::Yes;
    };
    const OpenProjectOutcome outcome = ::OpenProject(path, m_state, confirm);
    if (outcome.cancelled)
        return Loaded::Declined;
    if (!outcome.ok) {
        m_ui.messages.exclamation(m_window.DialogParent(), outcome.message);
        return Loaded::No;
    }
    m_window.BuildTree();
    m_window.SetTitle(outcome.title);
    return Loaded::Yes;
}

void FileCommands::openChosen(const QString &path)
{
    // Declined or unreadable, the tune stays and so does the file it belongs
    // to: a later Save must not write it over the file that was turned down
    // or could not be read.
    const QString previous = m_window.CurrentFileName();
    m_window.SetCurrentFileName(path);
    const Loaded loaded = load(path);
    if (loaded != Loaded::Yes)
        m_window.SetCurrentFileName(previous);
    if (loaded != Loaded::Declined)
        m_window.UpdateMRUList(path, false);
}

void FileCommands::Open()
{
    if (!OfferToSaveChanges())
        return;
    const QString path = m_ui.files.openFile(m_window.DialogParent(), "Open", ProjectFormat::DialogFilter);
    if (path.isEmpty())
        return;
    openChosen(path);
}

void FileCommands::OpenRecent(const QString &path)
{
    if (!OfferToSaveChanges())
        return;
    openChosen(path);
}

bool FileCommands::Save()
{
    if (m_window.CurrentFileName().isEmpty())
        return SaveAs();
    // Moving the focus away ends an edit in progress through its validation.
    m_window.EndEdit();
    const FileOutcome written = WriteProjectFile(m_window.CurrentFileName(), m_state.tune);
    if (!written) {
        m_ui.messages.exclamation(m_window.DialogParent(), written.error);
        return false;
    }
    m_state.NoteSaved();
    m_window.ShowStatusMessage("Saved " + QDir::toNativeSeparators(m_window.CurrentFileName()),
                               StatusLine::StatusMessageMs);
    return true;
}

bool FileCommands::SaveAs()
{
    // Nothing to save until a tune has been loaded or read.
    if (!m_window.TuneShown())
        return false;
    // The project's own name, or a dated one for a tune that has no file yet.
    const QString suggested = m_window.CurrentFileName().isEmpty()
        ? SaveFileName::Dated(QStringLiteral("tune"), QDateTime::currentDateTime(), QStringLiteral("vnt"))
        : m_window.CurrentFileName();
    const QString path =
        m_ui.files.saveFile(m_window.DialogParent(), "Save", ProjectFormat::DialogFilter, suggested);
    if (path.isEmpty())
        return false;
    // A save that failed leaves the tune with the file it had, so that the
    // name in the title and the one Save writes to stay the same.
    const QString previous = m_window.CurrentFileName();
    m_window.SetCurrentFileName(path);
    if (!Save()) {
        m_window.SetCurrentFileName(previous);
        return false;
    }
    m_window.SetTitle("Vantrelle - " + QFileInfo(path).fileName());
    m_window.UpdateMRUList(path, false);
    return true;
}
