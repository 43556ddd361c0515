#include "shell/FileCommands.h"

#include "model/ProjectFile.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/SaveFileName.h"
#include "platform/UiServices.h"
#include "shell/MainWindow.h"

#include <QAction>
#include <QFileInfo>

FileCommands::FileCommands(MainWindow &window) : QObject(window.DialogParent()), m_window(window)
{
    const MainActions &actions = window.Actions();
    connect(actions.mnuFileOpen, &QAction::triggered, this, &FileCommands::Open);
    connect(actions.tbOpen, &QAction::triggered, this, &FileCommands::Open);
    connect(actions.mnuFileSave, &QAction::triggered, this, &FileCommands::Save);
    connect(actions.tbSave, &QAction::triggered, this, &FileCommands::Save);
    connect(actions.mnuFileSaveAs, &QAction::triggered, this, &FileCommands::SaveAs);
    MainWindowHooks &hooks = window.Hooks();
    hooks.openProject = [this](const QString &path) { return OpenProject(path); };
    hooks.onMRUClicked = [this](const QString &path) { OpenRecent(path); };
    hooks.onSaveBeforeExit = [this] { return Save(); };
    hooks.offerToSaveChanges = [this] { return offerToSave(); };
}

bool FileCommands::offerToSave()
{
    if (!m_window.State().Modified)
        return true;
    const MsgAnswer answer = m_window.Ui().messages.show(
        m_window.DialogParent(), "Do you wish to save the current changes?", MsgIcon::Question, MsgButtons::YesNoCancel);
    if (answer == MsgAnswer::Cancel)
        return false;
    // A save that was cancelled or failed must not go on to drop the changes.
    return answer == MsgAnswer::No || Save();
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
        return m_window.Ui().messages.show(m_window.DialogParent(), warning + "\n\nOpen it anyway?",
                                           MsgIcon::Exclamation, MsgButtons::YesNo) == MsgAnswer::Yes;
    };
    const OpenProjectOutcome outcome = ::OpenProject(path, m_window.State(), confirm);
    if (outcome.cancelled)
        return Loaded::Declined;
    if (!outcome.ok) {
        m_window.Ui().messages.exclamation(m_window.DialogParent(), outcome.message);
        return Loaded::No;
    }
    m_window.BuildTree();
    m_window.SetTitle(outcome.title);
    return Loaded::Yes;
}

void FileCommands::openChosen(const QString &path)
{
    // Declined, the tune stays and so does the file it belongs to: a later
    // Save must not write it over the file that was turned down.
    const QString previous = m_window.CurrentFileName();
    m_window.SetCurrentFileName(path);
    if (load(path) == Loaded::Declined) {
        m_window.SetCurrentFileName(previous);
        return;
    }
    m_window.UpdateMRUList(path, false);
}

void FileCommands::Open()
{
    if (!offerToSave())
        return;
    const QString path = m_window.Ui().files.openFile(m_window.DialogParent(), "Open", ProjectFormat::DialogFilter);
    if (path.isEmpty())
        return;
    openChosen(path);
}

void FileCommands::OpenRecent(const QString &path)
{
    if (!offerToSave())
        return;
    openChosen(path);
}

bool FileCommands::Save()
{
    if (m_window.CurrentFileName().isEmpty())
        return SaveAs();
    // Moving the focus away ends an edit in progress through its validation.
    m_window.EndEdit();
    const FileOutcome written = WriteProjectFile(m_window.CurrentFileName(), m_window.State().tune);
    if (!written) {
        m_window.Ui().messages.exclamation(m_window.DialogParent(), written.error);
        return false;
    }
    m_window.State().Modified = false;
    emit m_window.Events().tuneSaved();
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
        m_window.Ui().files.saveFile(m_window.DialogParent(), "Save", ProjectFormat::DialogFilter, suggested);
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
