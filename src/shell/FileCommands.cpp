#include "shell/FileCommands.h"

#include "model/ProjectFile.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QFileInfo>
#include <QTreeWidget>

FileCommands::FileCommands(frmMain &window) : QObject(&window), m_window(window)
{
    connect(window.Action("mnuFileOpen"), &QAction::triggered, this, &FileCommands::Open);
    connect(window.Action("tbOpen"), &QAction::triggered, this, &FileCommands::Open);
    connect(window.Action("mnuFileSave"), &QAction::triggered, this, &FileCommands::Save);
    connect(window.Action("tbSave"), &QAction::triggered, this, &FileCommands::Save);
    connect(window.Action("mnuFileSaveAs"), &QAction::triggered, this, &FileCommands::SaveAs);
    window.openProject = [this](const QString &path) { return OpenProject(path); };
    window.onMRUClicked = [this](const QString &path) { OpenRecent(path); };
    window.onSaveBeforeExit = [this] { return Save(); };
    window.offerToSaveChanges = [this] { return offerToSave(); };
}

bool FileCommands::offerToSave()
{
    if (!m_window.State().Modified)
        return true;
    const MsgAnswer answer = m_window.Ui().messages.show(&m_window, "Do you wish to save the current changes?",
                                                         MsgIcon::Question, MsgButtons::YesNoCancel);
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
        return m_window.Ui().messages.show(&m_window, warning + "\n\nOpen it anyway?", MsgIcon::Exclamation,
                                           MsgButtons::YesNo) == MsgAnswer::Yes;
    };
    const OpenProjectOutcome outcome = ::OpenProject(path, m_window.State(), confirm);
    if (outcome.cancelled)
        return Loaded::Declined;
    if (!outcome.ok) {
        m_window.Ui().messages.exclamation(&m_window, outcome.message);
        return Loaded::No;
    }
    m_window.BuildTree();
    m_window.setWindowTitle(outcome.title);
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
    const QString path = m_window.Ui().files.openFile(&m_window, "Open", ProjectFilter);
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
    if (m_window.Tree()->isVisibleTo(&m_window))
        m_window.Tree()->setFocus();
    const FileOutcome written = WriteProjectFile(m_window.CurrentFileName(), m_window.State().tune);
    if (!written) {
        m_window.Ui().messages.exclamation(&m_window, written.error);
        return false;
    }
    m_window.State().Modified = false;
    emit m_window.tuneSaved();
    return true;
}

bool FileCommands::SaveAs()
{
    // Nothing to save until a tune has been loaded or read.
    if (!m_window.Tree()->isVisibleTo(&m_window))
        return false;
    const QString path = m_window.Ui().files.saveFile(&m_window, "Save", ProjectFilter, QString());
    if (path.isEmpty())
        return false;
    m_window.SetCurrentFileName(path);
    if (!Save())
        return false;
    m_window.setWindowTitle("Vantrelle - " + QFileInfo(path).fileName());
    m_window.UpdateMRUList(path, false);
    return true;
}
