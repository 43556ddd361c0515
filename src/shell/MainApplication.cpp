#include "shell/MainApplication.h"

#include "editors/CVFuelTimingDlg.h"
#include "editors/CVGlobalDlg.h"
#include "editors/CVIgnitionDwellDlg.h"
#include "editors/CVInjectorDlg.h"
#include "editors/CVTTPDlg.h"
#include "editors/CVVQTableDlg.h"
#include "link/ui/DialogRealTimeSender.h"
#include "platform/SerialPort.h"
#include "shell/ConnectionCommands.h"
#include "shell/EditorCommands.h"
#include "shell/FileCommands.h"
#include "shell/HelpCommands.h"
#include "shell/ImageCommands.h"
#include "shell/frmMain.h"

MainApplication::MainApplication(CVUserPrefs &prefs, MessageBoxService &messages, FileDialogService &files,
                                 const StartOptions &options)
    : m_prefs(prefs), m_ui{messages, files}, m_options(options)
{
    // A port named on the command line holds for this run only.
    m_savedPortName = m_prefs.PortName();
    if (!options.portName.isEmpty())
        m_prefs.SetPortName(options.portName);

    m_port = std::make_unique<SerialPort>();
    m_realTime = std::make_unique<DialogRealTimeSender>(*m_port, m_state, messages);
    m_window = std::make_unique<frmMain>(m_state, m_prefs, m_ui);
    m_realTime->SetParent(m_window.get());

    MessageBoxService &msg = messages;
    m_general = new CVGlobalDlg(m_state, *m_realTime, msg);
    m_injector = new CVInjectorDlg(m_state, msg);
    m_ttp = new CVTTPDlg(m_state, *m_realTime, msg);
    m_dwell = new CVIgnitionDwellDlg(m_state, *m_realTime, msg);
    m_grid = new CVFuelTimingDlg(m_state, m_prefs, *m_realTime, msg);
    m_vq = new CVVQTableDlg(m_state, *m_realTime, msg);
    m_window->SetPanel(PanelIndex::General, m_general);
    m_window->SetPanel(PanelIndex::Injector, m_injector);
    m_window->SetPanel(PanelIndex::TTPMaps, m_ttp);
    m_window->SetPanel(PanelIndex::IgnitionDuty, m_dwell);
    for (int index = PanelIndex::HOFM; index <= PanelIndex::LOTM; ++index)
        m_window->SetPanel(index, m_grid);
    m_window->SetPanel(PanelIndex::VQ, m_vq);

    m_fileCommands = new FileCommands(*m_window);
    m_helpCommands = new HelpCommands(*m_window);
    m_connectionCommands = new ConnectionCommands(*m_window, *m_port, *m_realTime,
                                                  options.fastHandshake ? HandshakeTimings::Fast()
                                                                        : HandshakeTimings{});
    m_imageCommands = new ImageCommands(*m_window, *m_port, [this] { return m_connectionCommands->Read(); });
    m_editorCommands = new EditorCommands(*m_window, *m_grid);
}

MainApplication::~MainApplication()
{
    m_window.reset();
    m_realTime.reset();
    m_port.reset();
    if (!m_options.portName.isEmpty() && m_prefs.PortName() == m_options.portName)
        m_prefs.SetPortName(m_savedPortName);
}

void MainApplication::start()
{
    m_window->Load(m_options.projectPath);
    m_window->show();
}
