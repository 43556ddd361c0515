// The link's dialogs under the offscreen platform: the Cancel confirmation,
// the messages they show, and the queueing of real-time writes.

#include "support/ExchangeTestSupport.h"
#include "support/FakeBox.h"
#include "link/Frames.h"

#include "link/LinkMessages.h"
#include "link/LinkSession.h"
#include "link/ui/DialogRealTimeSender.h"
#include "link/ui/dlgConnect.h"
#include "link/ui/dlgXfer.h"
#include "model/ProgramState.h"
#include "model/TuneItems.h"
#include "platform/MessageBoxService.h"
#include "support/ScriptedMessageBoxService.h"

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A box that answers 10 ms after each frame, through the event loop, the way
// a real line does.
struct SlowBox
{
    explicit SlowBox(ScriptedPort &port) : box(PatternImage())
    {
        port.ForceOpen();
        port.peer = [this, &port](const QByteArray &frame) {
            QTimer::singleShot(10, &context, [&port, reply = box.Respond(frame)] {
                port.Deliver(reply);
                emit port.readyRead();
            });
            return QByteArray();
        };
    }
    FakeBox box;
    QObject context;
};

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

// Cancel asks first: No lets the transfer finish, Yes stops it with the items
// read so far.
TEST(dlgXfer, CancelIsConfirmedFirst)
{
    for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        SCOPED_TRACE(answer == MsgAnswer::Yes ? "yes" : "no");
        ScriptedPort port;
        SlowBox slow(port);
        ScriptedMessageBoxService messages;
        messages.queue(answer);
        Tune tune;
        const Tune untouched;
        dlgXfer dialog(port, tune, messages);
        dialog.SetState(3);
        clickCancelAtProgress(dialog, 3);
        dialog.exec();
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(std::pair(messages.shown()[0].text, messages.shown()[0].buttons),
                  std::pair(CancelQuestion, MsgButtons::YesNo));
        EXPECT_EQ(dialog.Success(), answer == MsgAnswer::No);
        if (answer == MsgAnswer::Yes) {
            EXPECT_EQ(dialog.Outcome().result, LinkResult::Cancelled);
            EXPECT_LT(port.sent.size(), 22);
            EXPECT_EQ(ItemBytes(tune, TuneItem::VQ), ItemBytes(untouched, TuneItem::VQ));
        } else {
            EXPECT_EQ(port.sent.size(), 22);
        }
    }
}

// The time a dialog reports is its exchange's, on the link's clock: here
// every answer comes 7 ms after its frame.
TEST(dlgXfer, ElapsedTimeIsTheExchangesOwn)
{
    ScriptedPort port;
    port.ForceOpen();
    FakeBox box(PatternImage());
    ManualLinkClock clock;
    clock.Set(1000);
    QObject context;
    port.peer = [&](const QByteArray &frame) {
        QMetaObject::invokeMethod(&context, [&, reply = box.Respond(frame)] {
            clock.Advance(7);
            port.Deliver(reply);
            emit port.readyRead();
        }, Qt::QueuedConnection);
        return QByteArray();
    };
    ScriptedMessageBoxService messages;
    Tune tune;
    dlgXfer dialog(port, tune, messages, nullptr, clock);
    dialog.SetState(3);
    dialog.exec();
    ASSERT_TRUE(dialog.Success());
    EXPECT_EQ(dialog.ElapsedMs(), 7 * box.frames.size());
}

TEST(dlgConnect, CancelClosesWithoutAskingAndClosesThePort)
{
    ScriptedPort port;
    ScriptedMessageBoxService messages;
    dlgConnect dialog(port, messages); // the full two-second start: Cancel comes first
    QMetaObject::invokeMethod(&dialog, [&dialog] { clickCancel(dialog); }, Qt::QueuedConnection);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_FALSE(dialog.IsConnected() || port.IsOpen());
    EXPECT_TRUE(messages.shown().empty() && port.sent.isEmpty());
}

TEST(DialogRealTimeSender, ASecondWriteWaitsForTheFirstToBeAcknowledged)
{
    ScriptedPort port;
    port.ForceOpen();
    FakeBox box;
    ScriptedMessageBoxService messages;
    Tune tune;
    tune.general().SetVQ(1, 0x0102);
    LinkSession link;
    DialogRealTimeSender sender(port, tune, link, messages);
    QObject context;
    qsizetype sentWhenQueued = -1;
    // The first write is answered only after the acquisition loop's staged
    // rev limiter has asked for a second one.
    port.peer = [&](const QByteArray &frame) {
        const QByteArray reply = box.Respond(frame);
        if (box.frames.size() > 1)
            return reply;
        QMetaObject::invokeMethod(&context, [&, reply] {
            sentWhenQueued = port.sent.size();
            sender.SendRealTimeValue(TuneItem::RevLimiter, 0, 60);
            port.Deliver(reply);
            emit port.readyRead();
        }, Qt::QueuedConnection);
        return QByteArray();
    };
    sender.SendRealTimeValue(TuneItem::VQ, 1, 0);
    EXPECT_EQ(sentWhenQueued, 1);
    EXPECT_EQ(port.sent, (QList<QByteArray>{Frames::RealTimeRequest(0x7A72, QByteArray("\x01\x02", 2)),
                                            Frames::RealTimeRequest(0x7FB4, QByteArray(1, 60))}));
    EXPECT_EQ(box.writes, 2);
    EXPECT_TRUE(messages.shown().empty() && !sender.Busy());
}

} // namespace
