#include "link/ui/ConnectionCommands.h"

#include "commands/ui/CommandEnabler.h"
#include "link/ConnectionStates.h"
#include "link/LinkMessages.h"
#include "link/LinkSession.h"
#include "link/LinkSettings.h"
#include "link/RealTimeSender.h"
#include "link/WriteReview.h"
#include "link/ui/LinkDialog.h"
#include "link/ui/dlgConnect.h"
#include "link/ui/dlgDisposable.h"
#include "link/ui/dlgSettings.h"
#include "model/ProgramState.h"
#include "platform/MessageBoxService.h"
#include "platform/SerialPort.h"
#include "platform/UiServices.h"
#include "platform/ui/Actions.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>

using namespace ConnectionState;

namespace {

// How often a port loss waits for open dialogs to close.
constexpr int LostRetryMs = 20;

QAction *button(QObject *owner, const char *key, const char *tip, const char *icon, bool checkable)
{
    QAction *a = NewAction(owner, QLatin1String(key), (QByteArray("tb") + key).constData(), checkable);
    a->setToolTip(QLatin1String(tip));
    a->setIcon(AppIcon(icon));
    return a;
}

} // namespace

ConnectionCommands::ConnectionCommands(const Parts &parts)
    : QObject(parts.window.DialogParent()), m_window(parts.window), m_state(parts.state), m_link(parts.link),
      m_prefs(parts.prefs), m_port(parts.port), m_realTime(parts.realTime), m_ui(parts.ui),
      m_unsavedChanges(parts.unsavedChanges), m_companion(parts.companion), m_timings(parts.timings)
{
    mnuOptionsConnect = NewAction(this, "Co&nnect To Vantrelle...", "mnuOptionsConnect");
    QAction *read = NewAction(this, "&Read from Vantrelle...", "mnuOptionsRead");
    QAction *write = NewAction(this, "&Write to Vantrelle...", "mnuOptionsWrite");
    QAction *writeChanges = NewAction(this, "Write C&hanges to Vantrelle...", "mnuOptionsWriteChanges");
    mnuOptionsRealTime = NewAction(this, "Real-Time Mode", "mnuOptionsRealTime", true);
    for (QAction *a : {mnuOptionsConnect, read, write, writeChanges, mnuOptionsRealTime})
        m_window.AddAction(MenuPlace::OptionsLink, a);
    QAction *settings = NewAction(this, "Connection &Settings...", "mnuOptionsSettings");
    m_window.AddAction(MenuPlace::OptionsLinkSettings, settings);

    tbConnect = button(this, "Connect", "Connect to Vantrelle", "Conn", true);
    QAction *readButton = button(this, "Read", "Read from Vantrelle", "VntRead", false);
    QAction *writeButton = button(this, "Write", "Write to Vantrelle", "VntWrite", false);
    tbRealTime = button(this, "RealTime", "Enable real-time mode", "RealTime", true);
    for (QAction *a : {tbConnect, readButton, writeButton, tbRealTime})
        m_window.AddToolBarAction(ToolBarPlace::Link, a);

    CommandEnabler &commands = parts.commands;
    commands.Register(Command::Read, read);
    commands.Register(Command::Read, readButton);
    commands.Register(Command::Write, write);
    commands.Register(Command::Write, writeButton);
    commands.Register(Command::WriteChanges, writeChanges);
    commands.Register(Command::RealTime, mnuOptionsRealTime);
    commands.Register(Command::RealTime, tbRealTime);

    for (QAction *a : {mnuOptionsConnect, tbConnect})
        connect(a, &QAction::triggered, this, &ConnectionCommands::Connect);
    for (QAction *a : {read, readButton})
        connect(a, &QAction::triggered, this, &ConnectionCommands::Read);
    for (QAction *a : {write, writeButton})
        connect(a, &QAction::triggered, this, &ConnectionCommands::Write);
    connect(writeChanges, &QAction::triggered, this, &ConnectionCommands::WriteChanges);
    for (QAction *a : {mnuOptionsRealTime, tbRealTime})
        connect(a, &QAction::triggered, this, &ConnectionCommands::RealTimeMode);
    connect(settings, &QAction::triggered, this, &ConnectionCommands::ConnectionSettings);

    connect(&m_link, &LinkSession::changed, this, &ConnectionCommands::showLinkState);
    connect(&m_link, &LinkSession::realTimeWriteFailed, this, &ConnectionCommands::writeFailed);
    connect(&m_port, &LinkPort::lost, this, &ConnectionCommands::portLost);
    m_window.AddUnloadParticipant(this);
    showLinkState();
}

// The window shows the link's state: one view of the state and the mode.
void ConnectionCommands::showLinkState()
{
    const ConnectionView view = ConnectionViewOf(m_link.ConnectionState(), m_link.RealTimeEnabled());
    const StatusPanels &panels = m_window.StatusBarPanels();
    panels.Status->setText(QLatin1String(view.status));
    mnuOptionsConnect->setText(QLatin1String(view.connectCaption));
    tbConnect->setToolTip(QLatin1String(view.connectToolTip));
    tbConnect->setChecked(view.connectPressed);
    tbRealTime->setToolTip(QLatin1String(view.realTimeToolTip));
    tbRealTime->setChecked(view.realTimePressed);
    mnuOptionsRealTime->setChecked(m_link.RealTimeEnabled());
    panels.VntRTDisabled->setVisible(view.realTimeDisabledVisible);
    panels.VntRTEnabled->setVisible(view.realTimeEnabledVisible);

    // Every change of the mode, whoever made it (the command, a disconnect,
    // a lost port): the panel on show refills itself and the strip follows.
    if (m_link.RealTimeEnabled() != m_realTimeShown) {
        m_realTimeShown = m_link.RealTimeEnabled();
        m_window.RefreshPanel();
        m_window.ShowRealTimeStrip(m_realTimeShown);
    }
}

void ConnectionCommands::portLost()
{
    m_lostPending = true;
    reportLostPort();
}

void ConnectionCommands::reportLostPort()
{
    if (!m_lostPending)
        return;
    // A link dialog is still alive (its exchange has ended, but the command
    // that runs it has yet to set the state that follows), or a question is
    // open in the middle of a command: the state goes once they are done.
    if (QApplication::activeModalWidget() || !m_window.DialogParent()->findChildren<LinkDialog *>().isEmpty()) {
        QTimer::singleShot(LostRetryMs, this, &ConnectionCommands::reportLostPort);
        return;
    }
    m_lostPending = false;
    // The box is gone: there is nothing to put the tune's rev limit back into.
    if (m_link.Connected() || m_link.RealTimeEnabled()) {
        m_link.PortLost();
        m_port.Close();
    }
    m_ui.messages.critical(m_window.DialogParent(), LinkMessages::PortLost(m_port.LostDescription()));
}

void ConnectionCommands::writeFailed(std::optional<TuneItem> item)
{
    m_state.NoteNotSent();
    const QString what = item ? QString::fromLatin1(Info(*item).name) : QStringLiteral("a value");
    m_window.ShowStatusMessage(
        QStringLiteral("The change to %1 did not reach the Vantrelle, which may still hold the old value; "
                       "Write Changes to Vantrelle... sends it again.")
            .arg(what),
        StatusLine::StatusMessageMs);
}

TuneTransferContext ConnectionCommands::transfer()
{
    return {m_link, m_port, m_ui.messages, m_window.DialogParent(), m_window};
}

void ConnectionCommands::disconnect()
{
    // Real-time mode ends first, while the port is still open.
    if (m_link.RealTimeEnabled())
        RealTimeMode();
    m_link.Disconnect();
    m_port.Close();
}

void ConnectionCommands::Connect()
{
    if (m_link.Connected()) {
        disconnect();
        return;
    }
    if (EnsureConnected())
        Read();
}

bool ConnectionCommands::EnsureConnected()
{
    if (m_link.Connected())
        return true;
    // The toolbar button toggles itself when clicked; its state follows the
    // connection, not the click.
    showLinkState();
    if (!m_ui.messages.askYesNo(m_window.DialogParent(),
                                "Ensure that your car is not running.  Are you ready to continue?"))
        return false;
    m_link.BeginConnect();
    m_port.PrepareForConnect(m_prefs.COMPort(), m_prefs.PortName());

    dlgConnect dialog(m_port, m_ui.messages, m_window.DialogParent(), m_timings);
    dialog.exec();
    if (dialog.IsConnected()) {
        m_window.StatusBarPanels().HardwareVersion->setText(
            HardwareVersionText(dialog.MajorVer(), dialog.MinorVer(), dialog.IDVer()));
        m_link.HandshakeAnswered();
    } else {
        m_link.HandshakeFailed();
    }
    return m_link.ConnectionState() == Idle;
}

bool ConnectionCommands::Read()
{
    // Moving the focus ends an edit in progress through its own validation.
    m_window.EndEdit();
    if (!m_ui.messages.askYesNo(m_window.DialogParent(), "Read the current Vantrelle settings?"))
        return false;
    // What the box holds replaces the tune on screen: unsaved changes first.
    if (!m_unsavedChanges.OfferToSaveChanges())
        return false;
    const TuneTransferResult result = RunTuneTransfer(transfer(), m_state.tune, true);
    // A read that stopped part-way has still replaced the items before the
    // failure: what came from the box is no edit to undo.
    if (result.itemsDone > 0)
        m_state.NoteReplaced();
    if (result.success) {
        m_window.BuildTree();
        m_state.NoteSent();
    }
    return result.success;
}

void ConnectionCommands::Write()
{
    const WriteReview review = ReviewWrite(m_state.tune, m_link.Box(), TransferWalk(), m_state.TuneOriginWarning());
    if (!m_ui.messages.askYesNo(m_window.DialogParent(), "Write the current settings to the Vantrelle?",
                                review.Text()))
        return;
    if (RunTuneTransfer(transfer(), m_state.tune, false).success)
        m_state.NoteSent();
}

void ConnectionCommands::WriteChanges()
{
    if (m_link.RealTimeEnabled() || !m_link.Connected())
        return;
    const std::vector<TuneItem> items = m_link.Box().ItemsToWrite(m_state.tune);
    if (items.empty()) {
        m_ui.messages.info(m_window.DialogParent(), QStringLiteral("The Vantrelle already holds the current "
                                                                   "settings.  There are no changes to write."));
        m_state.NoteSent();
        return;
    }
    const QString details = ReviewWrite(m_state.tune, m_link.Box(), items, m_state.TuneOriginWarning()).Text();
    if (!m_ui.messages.askYesNo(m_window.DialogParent(), "Write the current settings to the Vantrelle?", details))
        return;
    if (RunTuneTransfer(transfer(), m_state.tune, false, items).success)
        m_state.NoteSent();
}

void ConnectionCommands::RealTimeMode()
{
    // The button and the item check themselves when clicked; the mode decides.
    showLinkState();
    if (m_link.RealTimeEnabled()) {
        if (const std::optional<int> limit = m_link.StopRealTime(m_state.tune.general().RevLimiter()))
            m_realTime.SendRealTimeValue(TuneItem::RevLimiter, 0, *limit);
        return;
    }
    if (!m_link.Connected())
        return;
    if (m_state.ChangesNotSent() &&
        !m_ui.messages.askYesNo(m_window.DialogParent(),
                                QStringLiteral("Changes have been made outside of real-time that have not been ") +
                                    "sent to the Vantrelle, hence what you see on the screen may not " +
                                    "be what is currently in the hardware.  Do you wish to continue?"))
        return;
    if (m_prefs.ShowRTWarning()) {
        dlgDisposable warning(m_window.DialogParent());
        warning.SetText("In real-time mode, any changes you make will be sent to the Vantrelle immediately.");
        warning.exec();
        if (warning.Dispose())
            m_prefs.SetShowRTWarning(false);
    }
    if (!m_companion.MayStartRealTime())
        return;
    m_link.StartRealTime();
}

void ConnectionCommands::Unloading()
{
    if (m_link.RealTimeEnabled() && m_companion.EndRealTimeOnExit())
        RealTimeMode();
}

void ConnectionCommands::ConnectionSettings()
{
    dlgSettings settings(m_ui.messages, dlgSettings::SystemDevices(), m_window.DialogParent());
    settings.SetCOMPort(m_prefs.COMPort());
    settings.SetPortName(m_prefs.PortName());
    settings.exec();
    m_prefs.SetCOMPort(settings.COMPort());
    m_prefs.SetPortName(settings.PortName());
}
