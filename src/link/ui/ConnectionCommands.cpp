#include "link/ui/ConnectionCommands.h"

#include "link/BoxContents.h"
#include "link/LinkMessages.h"
#include "link/RealTimeWrite.h"
#include "link/WriteReview.h"
#include "link/ui/LinkDialog.h"
#include "link/ui/dlgConnect.h"
#include "link/ui/dlgDisposable.h"
#include "link/RealTimeSender.h"
#include "link/ui/dlgXfer.h"
#include "model/ProgramState.h"
#include "platform/MessageBoxService.h"
#include "platform/SerialPort.h"
#include "platform/UiServices.h"
#include "shell/frmMain.h"
#include "link/LinkSettings.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

namespace {
enum State { NotConnected = 0, Connecting = 1, Idle = 2, Reading = 3, Writing = 4 };

// Long enough to be read; the status bar's panels come back after it.
constexpr int StatusMessageMs = 20000;
// How often a port loss waits for open dialogs to close.
constexpr int LostRetryMs = 20;
} // namespace

ConnectionCommands::ConnectionCommands(frmMain &window, SerialPort &port, RealTimeSender &realTime,
                                       HandshakeTimings timings)
    : QObject(&window), m_window(window), m_port(port), m_realTime(realTime), m_timings(timings)
{
    connect(window.Action("mnuOptionsConnect"), &QAction::triggered, this, &ConnectionCommands::Connect);
    connect(window.Action("tbConnect"), &QAction::triggered, this, &ConnectionCommands::Connect);
    connect(window.Action("mnuOptionsRead"), &QAction::triggered, this, &ConnectionCommands::Read);
    connect(window.Action("tbRead"), &QAction::triggered, this, &ConnectionCommands::Read);
    connect(window.Action("mnuOptionsWrite"), &QAction::triggered, this, &ConnectionCommands::Write);
    connect(window.Action("tbWrite"), &QAction::triggered, this, &ConnectionCommands::Write);
    connect(window.Action("mnuOptionsRealTime"), &QAction::triggered, this, &ConnectionCommands::RealTimeMode);
    connect(window.Action("tbRealTime"), &QAction::triggered, this, &ConnectionCommands::RealTimeMode);
    window.switchRealTimeOff = [this] {
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
    if (QApplication::activeModalWidget() || !m_window.findChildren<LinkDialog *>().isEmpty()) {
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
    m_window.Ui().messages.critical(&m_window, LinkMessages::PortLost(m_port.LostDescription()));
}

void ConnectionCommands::RealTimeWriteEnded(const QByteArray &frame, const LinkOutcome &outcome)
{
    const int item = box ? box->RecordRealTimeWrite(frame, outcome.ok()) : RealTimeFrameTarget(frame).item;
    if (outcome.ok())
        return;
    m_window.State().ChangesNotSent = true;
    const TuneItem *info = FindTuneItem(item);
    const QString what = info ? QString::fromLatin1(info->name) : QStringLiteral("a value");
    m_window.statusBar()->showMessage(
        QStringLiteral("The change to %1 did not reach the Vantrelle, which may still hold the old value; "
                       "Write Changes to Vantrelle... sends it again.")
            .arg(what),
        StatusMessageMs);
}

void ConnectionCommands::setEnabled(const char *name, bool enabled)
{
    if (QAction *a = m_window.Action(QLatin1String(name)))
        a->setEnabled(enabled);
}

void ConnectionCommands::Connect()
{
    LinkSettings &prefs = m_window.Prefs().link;
    MessageBoxService &messages = m_window.Ui().messages;
    if (prefs.ConnectionState() != NotConnected) {
        // Disconnect: real-time mode ends first, while the port is still open.
        m_window.SetConnectionState(NotConnected);
        m_port.Close();
        return;
    }
    // The toolbar button toggles itself when clicked; its state follows the
    // connection, not the click.
    m_window.Action("tbConnect")->setChecked(false);
    if (!messages.askYesNo(&m_window, "Ensure that your car is not running.  Are you ready to continue?"))
        return;
    m_window.SetConnectionState(Connecting);
    if (box)
        box->Forget(); // whatever box answers now, nothing is known of it yet
    m_port.PrepareForConnect(prefs.COMPort(), prefs.PortName());

    dlgConnect dialog(m_port, messages, &m_window, m_timings);
    dialog.exec();
    if (dialog.IsConnected()) {
        m_window.StatusPanel("HardwareVersion")
            ->setText(HardwareVersionText(dialog.MajorVer(), dialog.MinorVer(), dialog.IDVer()));
        m_window.SetConnectionState(Idle);
        for (const char *name : {"mnuFileOpenBin", "mnuFileSaveBin", "mnuLoad"})
            setEnabled(name, true);
    } else {
        m_window.SetConnectionState(NotConnected);
        for (const char *name : {"mnuFileOpenBin", "mnuFileSaveBin", "mnuLoad"})
            setEnabled(name, false);
    }
    if (prefs.ConnectionState() == Idle)
        Read();
}

bool ConnectionCommands::Read()
{
    // Moving the focus ends an edit in progress through its own validation.
    if (m_window.Tree()->isVisibleTo(&m_window))
        m_window.Tree()->setFocus();
    MessageBoxService &messages = m_window.Ui().messages;
    if (!messages.askYesNo(&m_window, "Read the current Vantrelle settings?"))
        return false;
    // What the box holds replaces the tune on screen: unsaved changes first.
    if (m_window.offerToSaveChanges && !m_window.offerToSaveChanges())
        return false;
    m_window.SetConnectionState(Reading);
    bool success = false;
    {
        dlgXfer dialog(m_port, m_window.State().tune, messages, &m_window);
        dialog.SetState(Reading);
        dialog.exec();
        success = dialog.Success();
        if (box)
            box->RecordTransfer(m_window.State().tune, BoxContents::FullWalk(), dialog.ItemsDone(), false);
        // A read that stopped part-way has still replaced the items before
        // the failure: what came from the box is no edit to undo.
        if (!success && dialog.ItemsDone() > 0)
            emit m_window.tuneReplaced();
    }
    m_window.SetConnectionState(Idle);
    if (success) {
        m_window.BuildTree();
        m_window.State().ChangesNotSent = false;
    }
    return success;
}

void ConnectionCommands::Write()
{
    MessageBoxService &messages = m_window.Ui().messages;
    const BoxContents nothingKnown;
    const ProgramState &state = m_window.State();
    const WriteReview review =
        ReviewWrite(state.tune, box ? *box : nothingKnown, BoxContents::FullWalk(), state.TuneOriginWarning);
    if (!messages.askYesNo(&m_window, "Write the current settings to the Vantrelle?", review.Text()))
        return;
    m_window.SetConnectionState(Writing);
    {
        dlgXfer dialog(m_port, m_window.State().tune, messages, &m_window);
        dialog.SetState(Writing);
        dialog.exec();
        if (dialog.Success())
            m_window.State().ChangesNotSent = false;
        if (box)
            box->RecordTransfer(m_window.State().tune, BoxContents::FullWalk(), dialog.ItemsDone(), true);
    }
    m_window.SetConnectionState(Idle);
}

void ConnectionCommands::RealTimeMode()
{
    ProgramState &state = m_window.State();
    LinkSettings &prefs = m_window.Prefs().link;
    MessageBoxService &messages = m_window.Ui().messages;
    QAction *button = m_window.Action("tbRealTime");
    QAction *item = m_window.Action("mnuOptionsRealTime");
    // The button and the item check themselves when clicked; the mode decides.
    button->setChecked(state.RealTimeEnabled);
    item->setChecked(state.RealTimeEnabled);

    if (!state.RealTimeEnabled) {
        if (state.ChangesNotSent &&
            !messages.askYesNo(&m_window, QStringLiteral("Changes have been made outside of real-time that have not been ") +
                                              "sent to the Vantrelle, hence what you see on the screen may not " +
                                              "be what is currently in the hardware.  Do you wish to continue?"))
            return;
        if (prefs.ShowRTWarning()) {
            dlgDisposable warning(&m_window);
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
        for (const char *name : {"mnuFileOpenBin", "mnuFileSaveBin", "mnuLoad", "mnuOptionsRead", "mnuOptionsWrite",
                                 "tbRead", "tbWrite"})
            setEnabled(name, false);
        m_window.StatusPanel("VntRTDisabled")->setVisible(false);
        m_window.StatusPanel("VntRTEnabled")->setVisible(true);
        m_window.RealTimeStrip()->setVisible(true);
        setEnabled("mnuDataLoggingSave", false);
        state.StagedRevLimitActive = false;
        if (onRealTimeStarted)
            onRealTimeStarted();
        setEnabled("mnuToolsStagedRevLimiter", false);
        setEnabled("mnuToolsMapCopy", false);
    } else {
        if (onRealTimeStopped)
            onRealTimeStopped();
        m_window.RealTimeStrip()->setVisible(false);
        setEnabled("mnuDataLoggingSave", true);
        button->setChecked(false);
        button->setToolTip("Enable real-time mode");
        const bool connected = prefs.ConnectionState() != NotConnected;
        for (const char *name : {"mnuOptionsRead", "mnuOptionsWrite", "tbRead", "tbWrite", "mnuFileOpenBin",
                                 "mnuFileSaveBin", "mnuLoad"})
            setEnabled(name, connected);
        setEnabled("mnuToolsStagedRevLimiter", true);
        setEnabled("mnuToolsMapCopy", true);
        m_window.StatusPanel("VntRTDisabled")->setVisible(connected);
        m_window.StatusPanel("VntRTEnabled")->setVisible(false);
        if (state.StagedRevLimitActive) {
            m_realTime.SendRealTimeValue(11, 0, state.tune.general().RevLimiter());
            state.StagedRevLimitActive = false;
        }
    }
    m_window.SizeControls(m_window.SplitterLeftTwips());
}
