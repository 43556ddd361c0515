#pragma once

#include "platform/FileDialogService.h"

// The system's own file dialogs.
class QtFileDialogService : public FileDialogService
{
public:
    QString openFile(QWidget *parent, const QString &title, const QString &filter) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                     const QString &suggestedName) override;
    QString saveFileSelectingFilter(QWidget *parent, const QString &title, const QString &filter,
                                    int selectedFilter, const QString &suggestedName) override;
};
