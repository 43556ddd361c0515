#include "support/ScriptedFileDialogService.h"

#include "platform/SaveFileName.h"

QString ScriptedFileDialogService::next()
{
    if (whileOpen)
        whileOpen();
    if (m_paths.empty())
        return {};
    QString p = m_paths.front();
    m_paths.pop_front();
    return p;
}

QString ScriptedFileDialogService::openFile(QWidget *, const QString &title, const QString &filter)
{
    m_asked.push_back({false, title, filter, {}});
    return next();
}

QString ScriptedFileDialogService::saveFile(QWidget *, const QString &title, const QString &filter,
                                            const QString &suggestedName)
{
    m_asked.push_back({true, title, filter, suggestedName});
    return SaveFileName::WithExtension(next(), filter, 1);
}

QString ScriptedFileDialogService::saveFileSelectingFilter(QWidget *, const QString &title, const QString &filter,
                                                           int selectedFilter, const QString &suggestedName)
{
    m_asked.push_back({true, title, filter, suggestedName, selectedFilter});
    return SaveFileName::WithExtension(next(), filter, selectedFilter);
}
