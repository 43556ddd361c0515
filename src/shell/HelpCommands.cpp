#include "shell/HelpCommands.h"

#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "shell/HelpWindow.h"
#include "shell/MainWindow.h"
#include "shell/AboutBox.h"

#include "platform/ui/Actions.h"

HelpCommands::HelpCommands(MainWindow &window, UiServices &ui, const QString &guidePath)
    : QObject(window.DialogParent()), m_window(window), m_ui(ui),
      m_guidePath(guidePath.isEmpty() ? QString::fromLatin1(HelpWindow::GuideResource) : guidePath)
{
    QAction *contents = NewAction(this, "&Contents", "mnuHelpContents");
    QAction *search = NewAction(this, "&Search For Help On...", "mnuHelpSearch");
    QAction *about = NewAction(this, "&About...", "mnuHelpAbout");
    window.AddAction(MenuPlace::HelpTopics, contents);
    window.AddAction(MenuPlace::HelpTopics, search);
    window.AddAction(MenuPlace::HelpAbout, about);
    connect(contents, &QAction::triggered, this, &HelpCommands::Contents);
    connect(search, &QAction::triggered, this, &HelpCommands::Search);
    connect(about, &QAction::triggered, this, &HelpCommands::About);
}

HelpWindow *HelpCommands::ensureHelp()
{
    if (!m_help) {
        auto *help = new HelpWindow(m_guidePath, m_window.DialogParent());
        if (!help->hasGuide()) {
            delete help;
            return nullptr;
        }
        m_help = help;
    }
    return m_help;
}

void HelpCommands::Contents()
{
    if (HelpWindow *help = ensureHelp())
        help->showContents();
    else
        m_ui.messages.plain(m_window.DialogParent(), HelpWindow::NoHelpMessage);
}

void HelpCommands::Search()
{
    if (HelpWindow *help = ensureHelp())
        help->showSearch();
    else
        m_ui.messages.plain(m_window.DialogParent(), HelpWindow::NoHelpMessage);
}

void HelpCommands::About()
{
    AboutBox about(m_ui.messages, m_window.DialogParent());
    about.exec();
}
