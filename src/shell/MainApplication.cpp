#include "shell/MainApplication.h"

#include "shell/FileCommands.h"
#include "shell/HelpCommands.h"
#include "shell/frmMain.h"

MainApplication::MainApplication(CVUserPrefs &prefs, MessageBoxService &messages, FileDialogService &files,
                                 const StartOptions &options)
    : m_prefs(prefs), m_ui{messages, files}, m_options(options)
{
    // A port named on the command line holds for this run only.
    m_savedPortName = m_prefs.PortName();
    if (!options.portName.isEmpty())
        m_prefs.SetPortName(options.portName);

    m_window = std::make_unique<frmMain>(m_state, m_prefs, m_ui);
    m_fileCommands = new FileCommands(*m_window);
    m_helpCommands = new HelpCommands(*m_window);
}

MainApplication::~MainApplication()
{
    m_window.reset();
    if (!m_options.portName.isEmpty() && m_prefs.PortName() == m_options.portName)
        m_prefs.SetPortName(m_savedPortName);
}

void MainApplication::start()
{
    m_window->Load(m_options.projectPath);
    m_window->show();
}
