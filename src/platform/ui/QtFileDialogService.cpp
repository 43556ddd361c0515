#include "platform/ui/QtFileDialogService.h"

#include <QFileDialog>
#include <QStringList>

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
