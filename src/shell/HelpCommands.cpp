#include "shell/HelpCommands.h"

#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "shell/HelpWindow.h"
#include "shell/MainWindow.h"
#include "shell/AboutBox.h"

#include <QAction>

HelpCommands::HelpCommands(MainWindow &window, const QString &guidePath)
    : QObject(window.DialogParent()), m_window(window),
      m_guidePath(guidePath.isEmpty() ? QString::fromLatin1(HelpWindow::GuideResource) : guidePath)
{
    connect(window.Actions().mnuHelpContents, &QAction::triggered, this, &HelpCommands::Contents);
    connect(window.Actions().mnuHelpSearch, &QAction::triggered, this, &HelpCommands::Search);
    connect(window.Actions().mnuHelpAbout, &QAction::triggered, this, &HelpCommands::About);
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
        m_window.Ui().messages.plain(m_window.DialogParent(), HelpWindow::NoHelpMessage);
}

void HelpCommands::Search()
{
    if (HelpWindow *help = ensureHelp())
        help->showSearch();
    else
        m_window.Ui().messages.plain(m_window.DialogParent(), HelpWindow::NoHelpMessage);
}

void HelpCommands::About()
{
    AboutBox about(m_window.Ui().messages, m_window.DialogParent());
    about.exec();
}
