#include "link/ui/ConnectionCommands.h"

#include "link/BoxContents.h"
#include "link/ConnectionStates.h"
#include "link/LinkMessages.h"
#include "link/RealTimeWrite.h"
#include "link/TransferSummary.h"
#include "link/WriteReview.h"
#include "link/ui/LinkDialog.h"
#include "link/ui/dlgConnect.h"
#include "link/ui/dlgDisposable.h"
#include "link/ui/dlgSettings.h"
#include "link/RealTimeSender.h"
#include "link/ui/dlgXfer.h"
#include "model/ProgramState.h"
#include "platform/MessageBoxService.h"
#include "platform/SerialPort.h"
#include "platform/UiServices.h"
#include "link/LinkSettings.h"
#include "shell/MainWindow.h"
#include "shell/MainWindowPrefs.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>

using namespace ConnectionState;

namespace {

// How often a port loss waits for open dialogs to close.
constexpr int LostRetryMs = 20;

void setEnabled(std::initializer_list<QAction *> items, bool enabled)
{
    for (QAction *a : items)
        a->setEnabled(enabled);
}
} // namespace

ConnectionCommands::ConnectionCommands(MainWindow &window, SerialPort &port, RealTimeSender &realTime,
                                       HandshakeTimings timings)
    : QObject(window.DialogParent()), m_window(window), m_port(port), m_realTime(realTime), m_timings(timings)
{
    const MainActions &actions = window.Actions();
    connect(actions.mnuOptionsConnect, &QAction::triggered, this, &ConnectionCommands::Connect);
    connect(actions.tbConnect, &QAction::triggered, this, &ConnectionCommands::Connect);
    connect(actions.mnuOptionsRead, &QAction::triggered, this, &ConnectionCommands::Read);
    connect(actions.tbRead, &QAction::triggered, this, &ConnectionCommands::Read);
    connect(actions.mnuOptionsWrite, &QAction::triggered, this, &ConnectionCommands::Write);
    connect(actions.tbWrite, &QAction::triggered, this, &ConnectionCommands::Write);
    connect(actions.mnuOptionsRealTime, &QAction::triggered, this, &ConnectionCommands::RealTimeMode);
    connect(actions.tbRealTime, &QAction::triggered, this, &ConnectionCommands::RealTimeMode);
    connect(actions.mnuOptionsSettings, &QAction::triggered, this, &ConnectionCommands::ConnectionSettings);
    window.Hooks().switchRealTimeOff = [this] {
        if (m_window.State().RealTimeEnabled)
            RealTimeMode();
    };
    connect(&port, &LinkPort::lost, this, &ConnectionCommands::portLost);
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
    m_window.State().StagedRevLimitActive = false;
    if (m_window.Prefs().link.ConnectionState() != NotConnected) {
        m_window.SetConnectionState(NotConnected); // ends real-time mode too
        m_port.Close();
    }
    m_window.Ui().messages.critical(m_window.DialogParent(), LinkMessages::PortLost(m_port.LostDescription()));
}

void ConnectionCommands::RealTimeWriteEnded(const QByteArray &frame, const LinkOutcome &outcome)
{
    const std::optional<TuneItem> item =
        box ? box->RecordRealTimeWrite(frame, outcome.ok()) : RealTimeFrameTarget(frame).item;
    if (outcome.ok()) {
        // A compare with the box follows the value the box now holds.
        if (onBoxTransferred)
            onBoxTransferred();
        return;
    }
    m_window.State().ChangesNotSent = true;
    const QString what = item ? QString::fromLatin1(Info(*item).name) : QStringLiteral("a value");
    m_window.ShowStatusMessage(
        QStringLiteral("The change to %1 did not reach the Vantrelle, which may still hold the old value; "
                       "Write Changes to Vantrelle... sends it again.")
            .arg(what),
        MainWindow::StatusMessageMs);
}

void ConnectionCommands::Connect()
{
    LinkSettings &prefs = m_window.Prefs().link;
    MessageBoxService &messages = m_window.Ui().messages;
    const MainActions &actions = m_window.Actions();
    const auto imageCommands = {actions.mnuFileOpenBin, actions.mnuFileSaveBin, actions.mnuLoad};
    if (prefs.ConnectionState() != NotConnected) {
        // Disconnect: real-time mode ends first, while the port is still open.
        m_window.SetConnectionState(NotConnected);
        m_port.Close();
        return;
    }
    // The toolbar button toggles itself when clicked; its state follows the
    // connection, not the click.
    actions.tbConnect->setChecked(false);
    if (!messages.askYesNo(m_window.DialogParent(), "Ensure that your car is not running.  Are you ready to continue?"))
        return;
    m_window.SetConnectionState(Connecting);
    if (box)
        box->Forget(); // whatever box answers now, nothing is known of it yet
    m_port.PrepareForConnect(prefs.COMPort(), prefs.PortName());

    dlgConnect dialog(m_port, messages, m_window.DialogParent(), m_timings);
    dialog.exec();
    if (dialog.IsConnected()) {
        m_window.StatusBarPanels().HardwareVersion->setText(
            HardwareVersionText(dialog.MajorVer(), dialog.MinorVer(), dialog.IDVer()));
        m_window.SetConnectionState(Idle);
        setEnabled(imageCommands, true);
    } else {
        m_window.SetConnectionState(NotConnected);
        setEnabled(imageCommands, false);
    }
    if (prefs.ConnectionState() == Idle)
        Read();
}

bool ConnectionCommands::Read()
{
    // Moving the focus ends an edit in progress through its own validation.
    m_window.EndEdit();
    MessageBoxService &messages = m_window.Ui().messages;
    if (!messages.askYesNo(m_window.DialogParent(), "Read the current Vantrelle settings?"))
        return false;
    // What the box holds replaces the tune on screen: unsaved changes first.
    const MainWindowHooks &hooks = m_window.Hooks();
    if (hooks.offerToSaveChanges && !hooks.offerToSaveChanges())
        return false;
    m_window.SetConnectionState(Reading);
    bool success = false;
    QString summary;
    {
        dlgXfer dialog(m_port, m_window.State().tune, messages, m_window.DialogParent());
        dialog.SetState(Reading);
        dialog.exec();
        success = dialog.Success();
        summary = TransferSummary::Text(TransferSummary::Kind::Read, dialog.ItemsDone(),
                                        int(TransferWalk().size()), success, dialog.ElapsedMs());
        if (box)
            box->RecordTransfer(m_window.State().tune, TransferWalk(), dialog.ItemsDone(), false);
        // A read that stopped part-way has still replaced the items before
        // the failure: what came from the box is no edit to undo.
        if (!success && dialog.ItemsDone() > 0)
            emit m_window.Events().tuneReplaced();
    }
    m_window.SetConnectionState(Idle);
    if (success) {
        m_window.BuildTree();
        m_window.State().ChangesNotSent = false;
    }
    m_window.ShowStatusMessage(summary, MainWindow::StatusMessageMs);
    if (onBoxTransferred)
        onBoxTransferred();
    return success;
}

void ConnectionCommands::Write()
{
    MessageBoxService &messages = m_window.Ui().messages;
    const BoxContents nothingKnown;
    const ProgramState &state = m_window.State();
    const WriteReview review =
        ReviewWrite(state.tune, box ? *box : nothingKnown, TransferWalk(), state.TuneOriginWarning);
    if (!messages.askYesNo(m_window.DialogParent(), "Write the current settings to the Vantrelle?", review.Text()))
        return;
    m_window.SetConnectionState(Writing);
    QString summary;
    {
        dlgXfer dialog(m_port, m_window.State().tune, messages, m_window.DialogParent());
        dialog.SetState(Writing);
        dialog.exec();
        if (dialog.Success())
            m_window.State().ChangesNotSent = false;
        if (box)
            box->RecordTransfer(m_window.State().tune, TransferWalk(), dialog.ItemsDone(), true);
        summary = TransferSummary::Text(TransferSummary::Kind::Write, dialog.ItemsDone(),
                                        int(TransferWalk().size()), dialog.Success(), dialog.ElapsedMs());
    }
    m_window.SetConnectionState(Idle);
    m_window.ShowStatusMessage(summary, MainWindow::StatusMessageMs);
    if (onBoxTransferred)
        onBoxTransferred();
}

void ConnectionCommands::RealTimeMode()
{
    ProgramState &state = m_window.State();
    LinkSettings &prefs = m_window.Prefs().link;
    MessageBoxService &messages = m_window.Ui().messages;
    const MainActions &actions = m_window.Actions();
    const StatusPanels &panels = m_window.StatusBarPanels();
    QAction *button = actions.tbRealTime;
    QAction *item = actions.mnuOptionsRealTime;
    // The button and the item check themselves when clicked; the mode decides.
    button->setChecked(state.RealTimeEnabled);
    item->setChecked(state.RealTimeEnabled);

    if (!state.RealTimeEnabled) {
        if (state.ChangesNotSent &&
            !messages.askYesNo(m_window.DialogParent(),
                               QStringLiteral("Changes have been made outside of real-time that have not been ") +
                                   "sent to the Vantrelle, hence what you see on the screen may not " +
                                   "be what is currently in the hardware.  Do you wish to continue?"))
            return;
        if (prefs.ShowRTWarning()) {
            dlgDisposable warning(m_window.DialogParent());
            warning.SetText("In real-time mode, any changes you make will be sent to the Vantrelle immediately.");
            warning.exec();
            if (warning.Dispose())
                prefs.SetShowRTWarning(false);
        }
        if (mayStartRealTime && !mayStartRealTime())
            return;
    }

    state.RealTimeEnabled = !state.RealTimeEnabled;
    m_window.SelectPanel(state.CurrentPanel);
    item->setChecked(state.RealTimeEnabled);

    if (state.RealTimeEnabled) {
        button->setChecked(true);
        button->setToolTip("Disable real-time mode");
        setEnabled({actions.mnuFileOpenBin, actions.mnuFileSaveBin, actions.mnuLoad, actions.mnuOptionsRead,
                    actions.mnuOptionsWrite, actions.tbRead, actions.tbWrite},
                   false);
        panels.VntRTDisabled->setVisible(false);
        panels.VntRTEnabled->setVisible(true);
        m_window.RealTimeStrip()->setVisible(true);
        actions.mnuDataLoggingSave->setEnabled(false);
        state.StagedRevLimitActive = false;
        if (onRealTimeStarted)
            onRealTimeStarted();
        setEnabled({actions.mnuToolsStagedRevLimiter, actions.mnuToolsMapCopy}, false);
    } else {
        if (onRealTimeStopped)
            onRealTimeStopped();
        m_window.RealTimeStrip()->setVisible(false);
        actions.mnuDataLoggingSave->setEnabled(true);
        button->setChecked(false);
        button->setToolTip("Enable real-time mode");
        const bool connected = prefs.ConnectionState() != NotConnected;
        setEnabled({actions.mnuOptionsRead, actions.mnuOptionsWrite, actions.tbRead, actions.tbWrite,
                    actions.mnuFileOpenBin, actions.mnuFileSaveBin, actions.mnuLoad},
                   connected);
        setEnabled({actions.mnuToolsStagedRevLimiter, actions.mnuToolsMapCopy}, true);
        panels.VntRTDisabled->setVisible(connected);
        panels.VntRTEnabled->setVisible(false);
        if (state.StagedRevLimitActive) {
            m_realTime.SendRealTimeValue(TuneItem::RevLimiter, 0, state.tune.general().RevLimiter());
            state.StagedRevLimitActive = false;
        }
    }
    m_window.Relayout();
}

void ConnectionCommands::ConnectionSettings()
{
    LinkSettings &prefs = m_window.Prefs().link;
    dlgSettings settings(m_window.Ui().messages, dlgSettings::SystemDevices(), m_window.DialogParent());
    settings.SetCOMPort(prefs.COMPort());
    settings.SetPortName(prefs.PortName());
    settings.exec();
    prefs.SetCOMPort(settings.COMPort());
    prefs.SetPortName(settings.PortName());
}
