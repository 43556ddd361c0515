#pragma once

#include <QObject>

class MainWindow;

// File > Open, Save, Save As and the recently used entries, with their
// questions, titles and messages.
class FileCommands : public QObject
{
    Q_OBJECT
public:
    explicit FileCommands(MainWindow &window);

    void Open();
    // True when the tune was written.
    bool Save();
    // True when the tune was written under the chosen name.
    bool SaveAs();
    void OpenRecent(const QString &path);
    // OpenProject with its message and, on success, tree and title. A file
    // that does not look like a project is loaded only when the user agrees.
    bool OpenProject(const QString &path);

private:
    enum class Loaded { Yes, No, Declined };
    Loaded load(const QString &path);
    // The chosen file becomes the current one and is loaded.
    void openChosen(const QString &path);

    // The Yes/No/Cancel question before a tune is replaced: false on Cancel
    // and when Yes did not end with the tune saved.
    bool offerToSave();

    MainWindow &m_window;
};
