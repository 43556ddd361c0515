#pragma once

#include "shell/MainWindow.h"

#include <QObject>

class ProgramState;
struct UiServices;

// File > Open, Save, Save As and the recently used entries, with their
// questions, titles and messages; the offer to save changes before the tune
// is replaced or the program ends.
class FileCommands : public QObject, public UnsavedChangesGuard, public UnloadParticipant
{
    Q_OBJECT
public:
    FileCommands(MainWindow &window, ProgramState &state, UiServices &ui);

    void Open();
    // True when the tune was written.
    bool Save();
    // True when the tune was written under the chosen name.
    bool SaveAs();
    void OpenRecent(const QString &path);
    // OpenProject with its message and, on success, tree and title. A file
    // that does not look like a project is loaded only when the user agrees.
    bool OpenProject(const QString &path);
    // The project named on the command line (double quotes removed): loaded
    // without becoming the current file, so a later Save asks for a name.
    void OpenCommandLine(const QString &commandLine);

    // The Yes/No/Cancel question before a tune is replaced: false on Cancel
    // and when Yes did not end with the tune saved.
    bool OfferToSaveChanges() override;
    // "Save changes before exiting?"
    bool MayUnload() override;

private:
    enum class Loaded { Yes, No, Declined };
    Loaded load(const QString &path);
    // The chosen file becomes the current one and is loaded.
    void openChosen(const QString &path);

    MainWindow &m_window;
    ProgramState &m_state;
    UiServices &m_ui;
};
