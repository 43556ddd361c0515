#include "platform/ui/QtFileDialogService.h"

#include "platform/SaveFileName.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

QString QtFileDialogService::openFile(QWidget *parent, const QString &title, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), qtFilter(filter));
}

QString QtFileDialogService::saveFile(QWidget *parent, const QString &title, const QString &filter,
                                      const QString &suggestedName)
{
    return saveFileSelectingFilter(parent, title, filter, 1, suggestedName);
}

QString QtFileDialogService::saveFileSelectingFilter(QWidget *parent, const QString &title, const QString &filter,
                                                     int selectedFilter, const QString &suggestedName)
{
    const QStringList names = qtFilter(filter).split(QStringLiteral(";;"));
    QString selected = selectedFilter >= 1 && selectedFilter <= names.size() ? names.at(selectedFilter - 1) : QString();
    QString start = suggestedName;
    for (;;) {
        QString typed = QFileDialog::getSaveFileName(parent, title, start, qtFilter(filter), &selected);
        if (typed.isEmpty())
            return typed;
        QString path =
            SaveFileName::WithExtension(typed, filter, SaveFileName::FilterNumberNamed(filter, selected));
        // The dialog asked about replacing the name as typed; the name the
        // file gets is asked about here.
        if (path == typed || !QFileInfo::exists(path))
            return path;
        const auto answer = QMessageBox::question(
            parent, title,
            QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName()));
        if (answer == QMessageBox::Yes)
            return path;
        start = path;
    }
}
