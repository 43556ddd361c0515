#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

class QWidget;

// The file open and save dialogs. Filters are written as pairs separated by
// "|" ("Vantrelle Files (*.vnt)|*.vnt|All Files (*.*)|*.*"). An empty result
// means the user cancelled.
class FileDialogService
{
public:
    virtual ~FileDialogService() = default;
    virtual QString openFile(QWidget *parent, const QString &title, const QString &filter) = 0;
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                             const QString &suggestedName = QString()) = 0;
    // The save dialog with filter number selectedFilter (1 = the first pair)
    // preselected. A service that cannot preselect shows saveFile's dialog.
    virtual QString saveFileSelectingFilter(QWidget *parent, const QString &title, const QString &filter,
                                            int selectedFilter, const QString &suggestedName = QString())
    {
        (void)selectedFilter;
        return saveFile(parent, title, filter, suggestedName);
    }

    // "Name (*.a)|*.a|All (*.*)|*.*" as Qt's "Name (*.a);;All (*.*)".
    static QString qtFilter(const QString &pairs);
};

class QtFileDialogService : public FileDialogService
{
public:
    QString openFile(QWidget *parent, const QString &title, const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                     const QString &suggestedName) override;
    QString saveFileSelectingFilter(QWidget *parent, const QString &title, const QString &filter,
                                    int selectedFilter, const QString &suggestedName) override;
};

// Answers from a queue of paths (an empty path is a Cancel) and records what
// was asked.
class ScriptedFileDialogService : public FileDialogService
{
public:
    struct Asked
    {
        bool save;
        QString title;
        QString filter;
        QString suggestedName;
        int selectedFilter = 1;
    };

    QString openFile(QWidget *parent, const QString &title, const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                     const QString &suggestedName) override;
    QString saveFileSelectingFilter(QWidget *parent, const QString &title, const QString &filter,
                                    int selectedFilter, const QString &suggestedName) override;

    void queue(const QString &path) { m_paths.push_back(path); }
    const std::vector<Asked> &asked() const { return m_asked; }

private:
    QString next();
    std::deque<QString> m_paths;
    std::vector<Asked> m_asked;
};
