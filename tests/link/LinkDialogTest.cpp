// The link's dialogs under the offscreen platform: their faces, the Cancel
// confirmation, the messages they show, and the queueing of real-time writes.

#include "ExchangeTestSupport.h"
#include "FakeBox.h"

#include "link/LinkMessages.h"
#include "link/ui/DialogRealTimeSender.h"
#include "link/ui/dlgConnect.h"
#include "link/ui/dlgDisposable.h"
#include "link/ui/dlgRealTime.h"
#include "link/ui/dlgXfer.h"
#include "link/ui/dlgXferROM.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/TuneItems.h"
#include "platform/MessageBoxService.h"
#include "platform/ScriptedMessageBoxService.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A box that answers a few milliseconds after each frame, through the event
// loop, the way a real line does.
class SlowBox
{
public:
    SlowBox(ScriptedPort &port, int delayMs) : box(PatternImage()), m_port(port), m_delayMs(delayMs)
    {
        port.ForceOpen();
        port.peer = [this](const QByteArray &frame) {
            const QByteArray reply = box.Respond(frame);
            QTimer::singleShot(m_delayMs, &m_context, [this, reply] {
                m_port.Deliver(reply);
                emit m_port.readyRead();
            });
            return QByteArray();
        };
    }
    FakeBox box;

private:
    ScriptedPort &m_port;
    int m_delayMs;
    QObject m_context;
};

template <typename T>
T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

void clickCancel(QDialog &dialog)
{
    if (auto *b = dialog.findChild<QPushButton *>(QStringLiteral("CancelButton")))
        b->click();
}

// Clicks the dialog's Cancel button, from the event loop, once its progress
// bar has reached the given value: driven by the exchange's own progress,
// never by a timer racing it.
void clickCancelAtProgress(QDialog &dialog, int progress)
{
    auto *bar = dialog.findChild<QProgressBar *>(QStringLiteral("ProgressBar"));
    ASSERT_NE(bar, nullptr);
    auto clicked = std::make_shared<bool>(false);
    QObject::connect(bar, &QProgressBar::valueChanged, &dialog, [&dialog, progress, clicked](int value) {
        if (*clicked || value < progress)
            return;
        *clicked = true;
        QMetaObject::invokeMethod(&dialog, [&dialog] { clickCancel(dialog); }, Qt::QueuedConnection);
    });
}

const QString CancelQuestion = "Are you sure you want to cancel this operation?";

TEST(dlgXfer, ShowsItsFaceAndReadsTheWholeTune)
{
    ScriptedPort port;
    SlowBox slow(port, 0);
    ScriptedMessageBoxService messages;
    Tune tune;
    dlgXfer dialog(port, tune, messages);
    dialog.SetState(3);
    EXPECT_EQ(dialog.windowTitle(), "Transferring Data");
    EXPECT_EQ(child<QPushButton>(dialog, "CancelButton")->text(), "Cancel");
    EXPECT_EQ(child<QLabel>(dialog, "lblWarning")->text(),
              "Warning:  Interrupting this operation may leave the Vantrelle in an unstable state!  Do so only if "
              "the application hangs.  NOTE: It may take several seconds to complete this operation");
    EXPECT_EQ(child<QProgressBar>(dialog, "ProgressBar")->maximum(), 100);

    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Success());
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(child<QLabel>(dialog, "lblStatus")->text(), "Reading from Vantrelle hardware.  Please wait...");
    EXPECT_EQ(child<QLabel>(dialog, "lblItem")->text(), "Retrieving VQ Table...");
    EXPECT_EQ(child<QProgressBar>(dialog, "ProgressBar")->value(), 100);
    Tune expected;
    TuneFromImage(slow.box.image, expected);
    EXPECT_TRUE(tune.sameContents(expected));
}

TEST(dlgXfer, CancelAnsweredNoLetsTheTransferFinish)
{
    ScriptedPort port;
    SlowBox slow(port, 10);
    ScriptedMessageBoxService messages;
    messages.queue(MsgAnswer::No);
    Tune tune;
    tune.general().SetRevLimiter(0x64);
    dlgXfer dialog(port, tune, messages);
    dialog.SetState(4);
    clickCancelAtProgress(dialog, 2);
    dialog.exec();
    EXPECT_EQ(child<QLabel>(dialog, "lblStatus")->text(), "Writing to Vantrelle hardware.  Please wait...");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, CancelQuestion);
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(dialog.Success());
    EXPECT_EQ(port.sent.size(), 22);
}

TEST(dlgXfer, CancelAnsweredYesStopsWithTheItemsSoFar)
{
    ScriptedPort port;
    SlowBox slow(port, 10);
    ScriptedMessageBoxService messages;
    messages.queue(MsgAnswer::Yes);
    Tune tune;
    const Tune untouched;
    dlgXfer dialog(port, tune, messages);
    dialog.SetState(3);
    clickCancelAtProgress(dialog, 3);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_FALSE(dialog.Success());
    EXPECT_EQ(dialog.Outcome().result, LinkResult::Cancelled);
    EXPECT_EQ(messages.texts(), QStringList{CancelQuestion});
    EXPECT_LT(port.sent.size(), 22);
    EXPECT_GE(port.sent.size(), 1);
    EXPECT_EQ(ItemBytes(tune, 23), ItemBytes(untouched, 23));
}

TEST(dlgXfer, FailureIsShownAsACriticalMessage)
{
    ScriptedPort port;
    SlowBox slow(port, 0);
    slow.box.badReadChecksum = 2;
    ScriptedMessageBoxService messages;
    Tune tune;
    dlgXfer dialog(port, tune, messages);
    dialog.SetState(3);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, LinkMessages::ChecksumError);
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(dialog.Success());
}

TEST(dlgXfer, FirstSendFailureNamesThePortError)
{
    ScriptedPort port;
    port.ForceOpen();
    port.failAllSends = true;
    port.sendError = "Input/output error";
    ScriptedMessageBoxService messages;
    Tune tune;
    dlgXfer dialog(port, tune, messages);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(messages.texts(),
              QStringList{"Failure on COM port.  Could not send request.  Specifically: Input/output error"});
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::None);
}

TEST(dlgConnect, ConnectsAndKeepsThePortOpen)
{
    ScriptedPort port;
    port.peer = [](const QByteArray &) { return QByteArray("\x02\x0C\x07", 3); };
    ScriptedMessageBoxService messages;
    dlgConnect dialog(port, messages, nullptr, HandshakeTimings::Fast());
    EXPECT_EQ(dialog.windowTitle(), "Connection Status");
    EXPECT_EQ(child<QLabel>(dialog, "lblStatus")->text(), "Connecting to Vantrelle hardware.  Please Wait...");
    EXPECT_EQ(child<QPushButton>(dialog, "CancelButton")->text(), "Cancel");
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(dialog.IsConnected());
    EXPECT_EQ(dialog.MajorVer(), 2);
    EXPECT_EQ(dialog.MinorVer(), 12);
    EXPECT_EQ(dialog.IDVer(), 7);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(child<QProgressBar>(dialog, "ProgressBar")->value(), 20);
    EXPECT_TRUE(messages.shown().empty());
}

TEST(dlgConnect, PortThatCannotOpenShowsItsDescriptionWithoutIcon)
{
    ScriptedPort port;
    port.openError = "No such file or directory";
    ScriptedMessageBoxService messages;
    dlgConnect dialog(port, messages, nullptr, HandshakeTimings::Fast());
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_FALSE(dialog.IsConnected());
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "No such file or directory");
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::None);
    EXPECT_EQ(port.sendAttempts, 0);
}

TEST(dlgConnect, CancelClosesWithoutAskingAndClosesThePort)
{
    ScriptedPort port;
    ScriptedMessageBoxService messages;
    dlgConnect dialog(port, messages); // the full two-second start: Cancel comes first
    QMetaObject::invokeMethod(&dialog, [&dialog] { clickCancel(dialog); }, Qt::QueuedConnection);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_FALSE(dialog.IsConnected());
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_TRUE(port.sent.isEmpty());
}

TEST(dlgXferROM, RefusesAShortImageAndSendsNothing)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("short.bin");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100, 'x'));
    }
    ScriptedPort port;
    port.ForceOpen();
    ScriptedMessageBoxService messages;
    dlgXferROM dialog(port, messages);
    EXPECT_EQ(dialog.windowTitle(), "ROM Transfer");
    EXPECT_EQ(child<QProgressBar>(dialog, "ProgressBar")->maximum(), 32768);
    dialog.Initialize(file, 4);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(messages.shown()[0].text.contains("100 bytes"));
    EXPECT_EQ(port.sendAttempts, 0);
}

TEST(dlgXferROM, ReadsTheBoxIntoTheFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("out.bin");
    ScriptedPort port;
    SlowBox slow(port, 0);
    ScriptedMessageBoxService messages;
    dlgXferROM dialog(port, messages);
    dialog.Initialize(file, 3);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(child<QLabel>(dialog, "lblStatus")->text(), "Reading from Vantrelle hardware.  Please wait...");
    EXPECT_EQ(child<QProgressBar>(dialog, "ProgressBar")->value(), 32768);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), slow.box.image);
    EXPECT_TRUE(messages.shown().empty());
}

TEST(dlgRealTime, WritesOneValueAndShowsFailures)
{
    for (char answer : {'O', 'X'}) {
        ScriptedPort port;
        port.ForceOpen();
        port.peer = [answer](const QByteArray &) { return QByteArray(1, answer); };
        ScriptedMessageBoxService messages;
        dlgRealTime dialog(port, messages);
        EXPECT_EQ(child<QLabel>(dialog, "lblStatus")->text(), "Writing to Vantrelle... please wait");
        EXPECT_TRUE(dialog.findChildren<QPushButton *>().isEmpty());
        Tune tune;
        dialog.Init(11, 0, 0x64, tune);
        dialog.exec();
        EXPECT_EQ(port.sent, QList<QByteArray>{QByteArray("\x77\x01\x7F\xB4\x64\x0F", 6)});
        if (answer == 'O') {
            EXPECT_TRUE(messages.shown().empty());
        } else {
            ASSERT_EQ(messages.shown().size(), 1u);
            EXPECT_EQ(messages.shown()[0].text, LinkMessages::NotAcknowledged);
            EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Critical);
        }
    }
}

TEST(dlgRealTime, ValueWithNoPlaceInTheBoxSendsNothing)
{
    ScriptedPort port;
    port.ForceOpen();
    ScriptedMessageBoxService messages;
    dlgRealTime dialog(port, messages);
    dialog.Init(14, 0, 1, Tune());
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(port.sendAttempts, 0);
    EXPECT_TRUE(messages.shown().empty());
}

TEST(DialogRealTimeSender, ASecondWriteWaitsForTheFirstToBeAcknowledged)
{
    ScriptedPort port;
    SlowBox slow(port, 30);
    ScriptedMessageBoxService messages;
    ProgramState state;
    state.tune.general().SetVQ(1, 0x0102);
    DialogRealTimeSender sender(port, state, messages);
    int sentWhenQueued = -1;
    // The acquisition loop's staged rev limiter, while the first write waits.
    QTimer::singleShot(5, [&] {
        sentWhenQueued = static_cast<int>(port.sent.size());
        sender.SendRealTimeValue(11, 0, 60);
    });
    sender.SendRealTimeValue(23, 1, 0);
    EXPECT_EQ(sentWhenQueued, 1) << "the second write was asked for while the first waited";
    ASSERT_EQ(port.sent.size(), 2);
    EXPECT_EQ(port.sent[0], Frames::RealTimeRequest(0x7A72, QByteArray("\x01\x02", 2)));
    EXPECT_EQ(port.sent[1], Frames::RealTimeRequest(0x7FB4, QByteArray(1, 60)));
    EXPECT_EQ(slow.box.writes, 2);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(sender.Busy());

    sender.SendRealTimeVersion("AB");
    EXPECT_EQ(port.sent.last().size(), 10);
    sender.SendRealTimeValue(13, 0, 1); // injector K: never in real time
    EXPECT_EQ(port.sent.size(), 3);
}

TEST(dlgDisposable, OkReportsTheCheckBox)
{
    for (bool checked : {false, true}) {
        dlgDisposable dialog;
        dialog.SetText("In real-time mode, any changes you make will be sent to the Vantrelle immediately.");
        EXPECT_EQ(dialog.windowTitle(), "Vantrelle");
        EXPECT_EQ(child<QLabel>(dialog, "lblText")->text(),
                  "In real-time mode, any changes you make will be sent to the Vantrelle immediately.");
        auto *check = child<QCheckBox>(dialog, "checkDispose");
        EXPECT_EQ(check->text(), "Don't show this dialog again");
        check->setChecked(checked);
        QTimer::singleShot(0, &dialog, [&] { child<QPushButton>(dialog, "OKButton")->click(); });
        EXPECT_EQ(dialog.exec(), QDialog::Accepted);
        EXPECT_EQ(dialog.Dispose(), checked);
    }
}

} // namespace
