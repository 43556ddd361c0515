#include "platform/FileDialogService.h"

#include <QFileDialog>

QString FileDialogService::qtFilter(const QString &pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList names;
    for (int i = 0; i < parts.size(); i += 2)
        names << parts.at(i);
    return names.join(QStringLiteral(";;"));
}

QString QtFileDialogService::openFile(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), qtFilter(filter));
}

QString QtFileDialogService::saveFile(QWidget *parent, const QString &title, const QString &filter,
                                      const QString &suggestedName)
{
    return QFileDialog::getSaveFileName(parent, title, suggestedName, qtFilter(filter));
}

QString QtFileDialogService::saveFileSelectingFilter(QWidget *parent, const QString &title, const QString &filter,
                                                     int selectedFilter, const QString &suggestedName)
{
    const QStringList names = qtFilter(filter).split(QStringLiteral(";;"));
    QString selected = selectedFilter >= 1 && selectedFilter <= names.size() ? names.at(selectedFilter - 1) : QString();
    return QFileDialog::getSaveFileName(parent, title, suggestedName, qtFilter(filter), &selected);
}

QString ScriptedFileDialogService::next()
{
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
    return next();
}

QString ScriptedFileDialogService::saveFileSelectingFilter(QWidget *, const QString &title, const QString &filter,
                                                           int selectedFilter, const QString &suggestedName)
{
    m_asked.push_back({true, title, filter, suggestedName, selectedFilter});
    return next();
}
