// The main window's link commands against vantrelle-boxsim over a real
// pseudo-terminal: connect, read, write, real-time mode, disconnect, the
// image and stock-program commands, failed real-time writes and a box that
// dies while connected.

#include "support/AppOnBoxTest.h"
#include "support/TestEnv.h"

#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/GridCellEditing.h"
#include "link/LinkMessages.h"
#include "model/ImageFile.h"
#include "model/ProjectFile.h"
#include "model/StockPrograms.h"
#include "model/TuneItems.h"
#include "platform/SerialPort.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>

namespace {

class ConnectionFlowTest : public AppOnBoxTest
{
protected:
    void start(const QStringList &boxArgs = {}) { startOnBox(boxArgs); }
    QString status() { return w().StatusBarPanels().Status->text(); }
    const StatusPanels &panels() { return w().StatusBarPanels(); }
    // One step of the High Octane Fuel Map's first cell, as the user makes it.
    void editFirstFuelCell()
    {
        w().SelectPanel(7);
        app->grid().setCurrentCell(1, 1);
        app->grid().editing().incrementAction()->trigger();
    }
};

// Runs act on the first widget named objectName when it is shown: a link
// dialog is shown once its exchange has sent the first request and before
// any reply is taken, so nothing the exchange does can overtake the hook.
class OnShown : public QObject
{
public:
    OnShown(const QString &objectName, std::function<void(QWidget *)> act)
        : m_name(objectName), m_act(std::move(act))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_act && event->type() == QEvent::Show && watched->isWidgetType() && watched->objectName() == m_name) {
            auto act = std::move(m_act);
            m_act = nullptr;
            act(static_cast<QWidget *>(watched));
        }
        return false;
    }

private:
    QString m_name;
    std::function<void(QWidget *)> m_act;
};

} // namespace

TEST_F(ConnectionFlowTest, ConnectReadsTheTuneAndShowsTheVersion)
{
    start({"--version-bytes", "1,7,3"});
    connectBox();
    EXPECT_EQ(panels().HardwareVersion->text(), "Hardware Version 1.07 (3)   ");
    EXPECT_EQ(std::pair(state().ChangesNotSent(), state().Modified()), std::pair(false, false))
        << "a read does not touch Modified";
    EXPECT_EQ(framesStartingWith("52").size(), 22);

    // Another read would replace changes never saved: Cancel keeps them.
    state().tune.general().SetRevLimiter(77);
    state().NoteEdit(QString(), true);
    messages.queue(MsgAnswer::Yes);    // "Read the current Vantrelle settings?"
    messages.queue(MsgAnswer::Cancel); // "Do you wish to save the current changes?"
    act("mnuOptionsRead")->trigger();
    EXPECT_EQ(messages.shown().back().text, "Do you wish to save the current changes?");
    EXPECT_EQ(std::pair(state().tune.general().RevLimiter(), state().Modified()), std::pair(77, true));
}

TEST_F(ConnectionFlowTest, WriteSendsEveryItemAndOnlyASuccessClearsChangesNotSent)
{
    for (const QStringList &args : {QStringList(), QStringList{"--bad-ack", "3"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        start(args);
        connectBox(MsgAnswer::No);
        state().tune.general().SetRevLimiter(0x64);
        state().NoteNotSent();
        messages.queue(MsgAnswer::Yes);
        act("tbWrite")->trigger();
        EXPECT_EQ(status(), "Idle");
        EXPECT_EQ(state().ChangesNotSent(), !args.isEmpty());
        EXPECT_EQ(framesStartingWith("57").size(), args.isEmpty() ? 22 : 3);
        if (!args.isEmpty()) {
            EXPECT_EQ(messages.shown().back().text,
                      "The data was not properly written.  Received checksum error.  Please retry the operation");
        }
    }
}

TEST_F(ConnectionFlowTest, DisconnectInRealTimeModeRestoresTheRevLimit)
{
    start();
    connectBox();
    act("mnuOptionsRealTime")->trigger();
    ASSERT_TRUE(link().RealTimeEnabled());
    testlink::HoldStagedLimit(link()); // the staged limit is in the box
    const int limit = state().tune.general().RevLimiter();

    act("mnuOptionsConnect")->trigger(); // disconnect
    EXPECT_EQ(std::tuple(link().RealTimeEnabled(), link().StagedLimiter().Active(), link().ConnectionState()),
              std::tuple(false, false, 0));
    const QString expected = QString("77 01 7F B4 %1").arg(limit, 2, 16, QChar('0')).toUpper();
    EXPECT_TRUE(box->logLines().last().startsWith(expected)) << box->logLines().last().toStdString();
}

// A box that never answers: the failure is told and the port closed (the
// handshake's other outcomes are the exchange's, tested there).
TEST_F(ConnectionFlowTest, ASilentBoxIsToldAndLeftUnconnected)
{
    start({"--never-answer"});
    messages.queue(MsgAnswer::Yes);
    act("mnuOptionsConnect")->trigger();
    EXPECT_EQ(messages.texts().last(),
              "Could not communicate wuth the Vantrelle hardware.  Please check your COM port settings and try again.");
    EXPECT_EQ(std::pair(link().ConnectionState(), app->port().IsOpen()), std::pair(0, false));
}

TEST_F(ConnectionFlowTest, StockProgramGoesIntoTheBoxAndIsReadBack)
{
    start({"--stock", "101"});
    connectBox(MsgAnswer::No);
    w().SetCurrentFileName(dir.filePath("was.vnt"));
    state().tune.general().SetRevLimiter(77);
    state().NoteEdit(QString(), true);

    messages.queue(MsgAnswer::Yes); // "Are you sure that you want to load ..."
    messages.queue(MsgAnswer::Yes); // "Read the current Vantrelle settings?"
    messages.queue(MsgAnswer::Yes); // "Do you wish to save the current changes?"
    QStringList lines;
    QObject::connect(w().statusBar(), &QStatusBar::messageChanged, [&lines](const QString &line) { lines << line; });
    bool waitedForAChoice = false;
    OnNextModal("dlgLoadBin", [&](QWidget *d) {
        auto *ok = d->findChild<QPushButton *>("OKButton");
        waitedForAChoice = !ok->isEnabled();
        d->findChild<QRadioButton *>("radioNAAutoFed")->setChecked(true);
        ok->click();
    });
    act("mnuLoad")->trigger();
    EXPECT_TRUE(waitedForAChoice) << "OK stays off until a program is chosen";
    const QRegularExpression wrote("^Wrote the ROM image to the Vantrelle in \\d+\\.\\d s$");
    EXPECT_EQ(lines.filter(wrote).size(), 1) << lines.join(" | ").toStdString();

    EXPECT_TRUE(w().CurrentFileName().isEmpty());
    const StockImageResult stock = LoadStockImage(103);
    Tune expected;
    TuneFromImage(stock.image, expected);
    EXPECT_TRUE(state().tune.sameContents(expected));
    EXPECT_EQ(box->stop(), 0);
    EXPECT_EQ(box->savedImage(), stock.image);
    Tune saved;
    ASSERT_TRUE(ReadProjectFile(dir.filePath("was.vnt"), saved)) << "the changes were saved before the read";
    EXPECT_EQ(saved.general().RevLimiter(), 77);

    // No temporary image is left behind.
    const QStringList leftovers = QDir(QDir::tempPath()).entryList({"vnt*"}, QDir::Files);
    EXPECT_TRUE(leftovers.isEmpty()) << leftovers.join(' ').toStdString();
}

// Save ROM to .bin never leaves a half image: the box falls silent after
// the version answer and three blocks, the failure is told and the file
// chosen keeps its old contents.
TEST_F(ConnectionFlowTest, SaveRomToBinThatFailsLeavesTheFileAsItWas)
{
    start({"--silent-after", "4"});
    connectBox(MsgAnswer::No);
    const QString saved = dir.filePath("box.bin");
    const QByteArray old(32768, '\x5A');
    ASSERT_TRUE(testenv::writeFile(saved, old));
    messages.clear();
    files.queue(saved);
    act("mnuFileSaveBin")->trigger();
    EXPECT_GE(box->waitForLogLines(5).size(), 5);
    EXPECT_EQ(testenv::readFile(saved), old);
    EXPECT_EQ(QDir(dir.path()).entryList({"box.bin*"}, QDir::Files), QStringList{"box.bin"});
    EXPECT_EQ(messages.texts(), QStringList{LinkMessages::DataTimeout});
}

// A file longer than an image is no image for that alone: the warning names
// it and its size, and its default, Cancel, sends nothing.
TEST_F(ConnectionFlowTest, ALongerFileIsWrittenToTheBoxOnlyWhenTheWarningIsAnswered)
{
    start();
    connectBox(MsgAnswer::No);
    const QString log = dir.filePath("drive.csv");
    ASSERT_TRUE(testenv::writeFile(log, QByteArray(40000, ',')));
    const int framesBefore = int(box->logLines().size());
    messages.clear();
    files.queue(log);
    act("mnuFileOpenBin")->trigger();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::OKCancel);
    EXPECT_TRUE(messages.shown()[0].text.contains(log + "' holds 40000 bytes")) << messages.texts().join('|').toStdString();
    EXPECT_EQ(box->logLines().size(), framesBefore) << "nothing sent";
}

TEST_F(ConnectionFlowTest, FailedRealTimeWriteWaitsForWriteChanges)
{
    start({"--bad-ack", "1"}); // the box refuses the first write
    connectBox();
    act("mnuOptionsRealTime")->trigger();
    ASSERT_TRUE(link().RealTimeEnabled());
    const int before = state().tune.map(MapKey::HOFM).MapValue(0);
    editFirstFuelCell();
    EXPECT_EQ(messages.shown().back().text, LinkMessages::NotAcknowledged);
    EXPECT_TRUE(state().tune.map(MapKey::HOFM).MapValue(0) != before && state().ChangesNotSent())
        << "the edit stays, not sent";
    EXPECT_TRUE(w().statusBar()->currentMessage().startsWith("The change to High Octane Fuel Map did not reach"))
        << w().statusBar()->currentMessage().toStdString();

    // Out of real-time mode, the write of the changes sends that map again, and only it.
    act("mnuOptionsRealTime")->trigger();
    const int framesBefore = box->logLines().size();
    messages.queue(MsgAnswer::Yes);
    act("mnuOptionsWriteChanges")->trigger();
    EXPECT_TRUE(messages.shown().back().details.contains("Not known to be in the Vantrelle, written whole: High "
                                                         "Octane Fuel Map"))
        << messages.shown().back().details.toStdString();
    const QStringList sent = box->logLines().mid(framesBefore);
    ASSERT_EQ(sent.size(), 1) << sent.join(" | ").toStdString();
    EXPECT_TRUE(sent[0].startsWith("57 00 7D 00") && !state().ChangesNotSent());
    EXPECT_EQ(box->stop(), 0);
    EXPECT_EQ(box->savedImage().mid(0x7D00, 256), ItemBytes(state().tune, TuneItem::HOFM));
}

TEST_F(ConnectionFlowTest, ABoxThatDiesDisconnectsOnceAndConnectingAgainWorks)
{
    struct Case
    {
        const char *name;
        std::function<void()> kill;
    };
    const Case cases[] = {
        {"while idle", [&] { box->kill(); }},
        {"before a real-time edit",
         [&] {
             act("mnuOptionsRealTime")->trigger();
             box->kill();
             editFirstFuelCell();
             EXPECT_TRUE(state().ChangesNotSent()
                         && w().statusBar()->currentMessage().startsWith("The change to High Octane Fuel Map"));
         }},
        {"during a write",
         [&] {
             OnShown hook("dlgXfer", [&](QWidget *dialog) {
                 auto *bar = dialog->findChild<QProgressBar *>();
                 QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
                     if (value > 0 && box->isRunning())
                         box->kill();
                 });
             });
             messages.queue(MsgAnswer::Yes);
             act("mnuOptionsWrite")->trigger();
             EXPECT_FALSE(box->isRunning());
         }},
    };
    start();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (!box->isRunning()) {
            // A new box on the same window: connecting again needs no restart.
            box = std::make_unique<BoxSim>();
            ASSERT_TRUE(box->started());
            prefs->link.SetPortName(box->device());
        }
        connectBox(MsgAnswer::No);
        ASSERT_EQ(link().ConnectionState(), 2);
        const size_t shownBefore = messages.shown().size();
        c.kill();
        ASSERT_TRUE(QTest::qWaitFor([&] { return link().ConnectionState() == 0; }, 20000));
        QStringList told;
        for (size_t i = shownBefore; i < messages.shown().size(); ++i)
            if (messages.shown()[i].icon != MsgIcon::Question)
                told << messages.shown()[i].text;
        ASSERT_EQ(told.size(), 1) << told.join(" | ").toStdString();
        EXPECT_TRUE(told[0].startsWith("The connection to the Vantrelle was lost: " + box->device()))
            << told[0].toStdString();
        EXPECT_EQ(std::tuple(status(), link().RealTimeEnabled(), app->port().IsOpen()),
                  std::tuple(QString("Not Connected"), false, false));
    }
    box = std::make_unique<BoxSim>();
    ASSERT_TRUE(box->started());
    prefs->link.SetPortName(box->device());
    messages.queue(MsgAnswer::Yes); // "Ensure that your car is not running..."
    messages.queue(MsgAnswer::Yes); // "Read the current Vantrelle settings?"
    messages.queue(MsgAnswer::No);  // the edits above need not be saved first
    act("mnuOptionsConnect")->trigger();
    EXPECT_EQ(std::pair(link().ConnectionState(), framesStartingWith("52").size()), std::pair(2, qsizetype(22)));
}
