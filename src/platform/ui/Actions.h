#pragma once

#include "platform/ui/PaletteIcons.h"

#include <QAction>
#include <QIcon>
#include <QString>

// A menu item or toolbar button named as the system names it (mnuFileOpen,
// tbRead): tests and the documentation find it by that name.
inline QAction *NewAction(QObject *owner, const QString &caption, const char *objectName, bool checkable = false)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(objectName));
    action->setCheckable(checkable);
    return action;
}

using PaletteIcons::AppIcon;
