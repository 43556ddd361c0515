#pragma once

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

// An icon of the program's resources by key ("Open", "Conn", "Fuel", ...).
inline QIcon AppIcon(const char *key)
{
    return QIcon(QStringLiteral(":/icons/%1.xpm").arg(QLatin1String(key)));
}
