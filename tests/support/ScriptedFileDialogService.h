#pragma once

#include "platform/FileDialogService.h"

#include <deque>
#include <functional>
#include <vector>

// Answers from a queue of paths (an empty path is a Cancel) and records what
// was asked. A save answer gets the preselected filter's extension as the
// system's dialog would give it.
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
    // What the program goes on doing while a dialog is up (the system's
    // dialog runs an event loop: timers fire), run before each answer.
    std::function<void()> whileOpen;
    const std::vector<Asked> &asked() const { return m_asked; }

private:
    QString next();
    std::deque<QString> m_paths;
    std::vector<Asked> m_asked;
};
