#pragma once

#include <QObject>
#include <QPointer>

#include "shell/HelpWindow.h"

class frmMain;

// Help > Contents, Search and About, and Options > Connection Settings.
class HelpCommands : public QObject
{
    Q_OBJECT
public:
    explicit HelpCommands(frmMain &window, const QString &guidePath = QString());

    void Contents();
    void Search();
    void About();
    void ConnectionSettings();

    HelpWindow *helpWindow() const { return m_help; }

private:
    // The help window, created on first use; nullptr when there is no guide.
    HelpWindow *ensureHelp();

    frmMain &m_window;
    QString m_guidePath;
    QPointer<HelpWindow> m_help;
};
