#pragma once

#include <QObject>
#include <QPointer>

#include "shell/HelpWindow.h"

class MainWindow;

// Help > Contents, Search and About.
class HelpCommands : public QObject
{
    Q_OBJECT
public:
    explicit HelpCommands(MainWindow &window, const QString &guidePath = QString());

    void Contents();
    void Search();
    void About();

    HelpWindow *helpWindow() const { return m_help; }

private:
    // The help window, created on first use; nullptr when there is no guide.
    HelpWindow *ensureHelp();

    MainWindow &m_window;
    QString m_guidePath;
    QPointer<HelpWindow> m_help;
};
