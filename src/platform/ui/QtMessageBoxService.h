#pragma once

#include "platform/MessageBoxService.h"

// Real message boxes.
class QtMessageBoxService : public MessageBoxService
{
public:
    MsgAnswer show(QWidget *parent, const QString &text, MsgIcon icon, MsgButtons buttons) override;
    // The details are shown opened.
    MsgAnswer showDetailed(QWidget *parent, const QString &text, const QString &details, MsgIcon icon,
                           MsgButtons buttons) override;
    int choose(QWidget *parent, const QString &text, MsgIcon icon, const QStringList &buttons,
               int escapeIndex) override;
    std::optional<QString> askText(QWidget *parent, const QString &title, const QString &label) override;
};
