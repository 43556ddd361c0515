#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The file open and save dialogs. Filters are written as pairs separated by
// "|" ("Vantrelle Files (*.vnt)|*.vnt|All Files (*.*)|*.*"). An empty result
// means the user cancelled. A save dialog's answer ends in an extension the
// filters offer: a typed name without one gets the chosen filter's
// (SaveFileName::WithExtension), so "tune1" is saved as "tune1.vnt".
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
