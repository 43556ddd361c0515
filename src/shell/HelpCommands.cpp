#include "shell/HelpCommands.h"

#include "shell/HelpWindow.h"

#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "shell/HelpWindow.h"
#include "shell/dlgAbout.h"
#include "link/ui/dlgSettings.h"
#include "shell/frmMain.h"
#include "link/LinkSettings.h"

#include <QAction>

HelpCommands::HelpCommands(frmMain &window, const QString &guidePath)
    : QObject(&window), m_window(window),
      m_guidePath(guidePath.isEmpty() ? QString::fromLatin1(HelpWindow::GuideResource) : guidePath)
{
    connect(window.Action("mnuHelpContents"), &QAction::triggered, this, &HelpCommands::Contents);
    connect(window.Action("mnuHelpSearch"), &QAction::triggered, this, &HelpCommands::Search);
    connect(window.Action("mnuHelpAbout"), &QAction::triggered, this, &HelpCommands::About);
    connect(window.Action("mnuOptionsSettings"), &QAction::triggered, this, &HelpCommands::ConnectionSettings);
}

HelpWindow *HelpCommands::ensureHelp()
{
    if (!m_help) {
        auto *help = new HelpWindow(m_guidePath, &m_window);
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
        m_window.Ui().messages.plain(&m_window, HelpWindow::NoHelpMessage);
}

void HelpCommands::Search()
{
    if (HelpWindow *help = ensureHelp())
        help->showSearch();
    else
        m_window.Ui().messages.plain(&m_window, HelpWindow::NoHelpMessage);
}

void HelpCommands::About()
{
    dlgAbout about(m_window.Ui().messages, &m_window);
    about.exec();
}

void HelpCommands::ConnectionSettings()
{
    LinkSettings &prefs = m_window.Prefs().link;
    dlgSettings settings(m_window.Ui().messages, dlgSettings::SystemDevices(), &m_window);
    settings.SetCOMPort(prefs.COMPort());
    settings.SetPortName(prefs.PortName());
    settings.exec();
    prefs.SetCOMPort(settings.COMPort());
    prefs.SetPortName(settings.PortName());
}
