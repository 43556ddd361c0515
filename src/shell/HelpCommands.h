#pragma once

#include <QObject>
#include <QPointer>

#include "shell/HelpWindow.h"

class MainWindow;
struct UiServices;

// Help > Contents, Search and About.
class HelpCommands : public QObject
{
    Q_OBJECT
public:
    HelpCommands(MainWindow &window, UiServices &ui, const QString &guidePath = QString());

    void Contents();
    void Search();
    void About();

    HelpWindow *helpWindow() const { return m_help; }

private:
    // The help window, created on first use; nullptr when there is no guide.
    HelpWindow *ensureHelp();

    MainWindow &m_window;
    UiServices &m_ui;
    QString m_guidePath;
    QPointer<HelpWindow> m_help;
};
