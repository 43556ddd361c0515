// The main window's link commands against vantrelle-boxsim over a real
// pseudo-terminal: connect, read, write, real-time mode, disconnect, the
// image and stock-program commands, failed real-time writes and a box that
// dies while connected.

#include "editors/ui/CVFuelTimingDlg.h"
#include "link/Frames.h"
#include "link/LinkMessages.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/ProjectFile.h"
#include "model/StockPrograms.h"
#include "model/TuneItems.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "link/ui/ConnectionCommands.h"
#include "app/MainApplication.h"
#include "shell/frmMain.h"
#include "app/CVUserPrefs.h"
#include "support/AppOnBoxTest.h"
#include "support/BoxSim.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>

namespace {

class ConnectionFlowTest : public AppOnBoxTest
{
protected:
    void start(const QStringList &boxArgs = {}) { startApp(boxArgs); }
    QString status() { return w().StatusBarPanels().Status->text(); }
    const MainActions &actions() { return w().Actions(); }
    const StatusPanels &panels() { return w().StatusBarPanels(); }
    // One step of the High Octane Fuel Map's first cell, as the user makes it.
    void editFirstFuelCell()
    {
        w().SelectPanel(7);
        app->grid().setCurrentCell(1, 1);
        app->grid().incrementAction()->trigger();
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

TEST_F(ConnectionFlowTest, NoAtTheFirstQuestionChangesNothing)
{
    start();
    messages.queue(MsgAnswer::No);
    actions().tbConnect->trigger();
    EXPECT_EQ(messages.shown().back().text, "Ensure that your car is not running.  Are you ready to continue?");
    EXPECT_EQ(prefs->link.ConnectionState(), 0);
    EXPECT_FALSE(actions().tbConnect->isChecked());
    EXPECT_TRUE(box->logLines().isEmpty());
}

TEST_F(ConnectionFlowTest, ConnectReadsTheTuneAndShowsTheVersion)
{
    start({"--version-bytes", "1,7,3"});
    connectBox();
    EXPECT_EQ(panels().HardwareVersion->text(), "Hardware Version 1.07 (3)   ");
    EXPECT_EQ(status(), "Idle");
    EXPECT_EQ(prefs->link.ConnectionState(), 2);
    EXPECT_EQ(messages.shown().back().text, "Read the current Vantrelle settings?");
    EXPECT_TRUE(w().Tree()->isVisibleTo(&w()));
    EXPECT_EQ(state().CurrentPanel, 2);
    EXPECT_FALSE(state().ChangesNotSent);
    EXPECT_FALSE(state().Modified) << "a read does not touch Modified";
    EXPECT_TRUE(actions().tbConnect->isChecked());
    for (QAction *item : {actions().mnuFileOpenBin, actions().mnuFileSaveBin, actions().mnuLoad, actions().tbRead})
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();

    const QStringList frames = box->logLines();
    ASSERT_EQ(frames.size(), 23);
    EXPECT_EQ(frames[0], "56 56");
    EXPECT_EQ(frames[1], "52 00 7D 00 CF");
    EXPECT_EQ(framesStartingWith("52").size(), 22);

    // The model now holds the stock program the box started from.
    const StockImageResult stock = LoadStockImage(105);
    Tune expected;
    TuneFromImage(stock.image, expected);
    EXPECT_TRUE(state().tune.sameContents(expected));

    // Another read would replace changes never saved: Cancel keeps them.
    state().tune.general().SetRevLimiter(77);
    state().Modified = true;
    messages.queue(MsgAnswer::Yes);    // "Read the current Vantrelle settings?"
    messages.queue(MsgAnswer::Cancel); // "Do you wish to save the current changes?"
    actions().mnuOptionsRead->trigger();
    EXPECT_EQ(messages.shown().back().text, "Do you wish to save the current changes?");
    EXPECT_EQ(state().tune.general().RevLimiter(), 77);
    EXPECT_TRUE(state().Modified);
}

TEST_F(ConnectionFlowTest, WriteSendsEveryItemAndClearsChangesNotSent)
{
    start();
    connectBox(MsgAnswer::No);
    EXPECT_FALSE(w().Tree()->isVisibleTo(&w()));
    state().tune.general().SetRevLimiter(0x64);
    state().ChangesNotSent = true;
    messages.queue(MsgAnswer::Yes);
    actions().tbWrite->trigger();
    EXPECT_EQ(messages.shown().back().text, "Write the current settings to the Vantrelle?");
    EXPECT_FALSE(state().ChangesNotSent);
    EXPECT_EQ(status(), "Idle");
    const QStringList writes = framesStartingWith("57");
    ASSERT_EQ(writes.size(), 22);
    EXPECT_TRUE(writes.contains("57 01 7F B4 64 EF"));
}

TEST_F(ConnectionFlowTest, FailedWriteKeepsChangesNotSent)
{
    start({"--bad-ack", "3"});
    connectBox(MsgAnswer::No);
    state().ChangesNotSent = true;
    messages.queue(MsgAnswer::Yes);
    actions().mnuOptionsWrite->trigger();
    EXPECT_EQ(messages.shown().back().text,
              "The data was not properly written.  Received checksum error.  Please retry the operation");
    EXPECT_TRUE(state().ChangesNotSent);
    EXPECT_EQ(status(), "Idle");
}

TEST_F(ConnectionFlowTest, RealTimeModeOnAndOff)
{
    start();
    connectBox();
    state().ChangesNotSent = true;

    // No to the unsent-changes question leaves the mode off and shows no warning.
    messages.queue(MsgAnswer::No);
    actions().tbRealTime->trigger();
    EXPECT_TRUE(messages.shown().back().text.startsWith("Changes have been made outside of real-time that have not been sent"));
    EXPECT_FALSE(state().RealTimeEnabled);
    EXPECT_FALSE(actions().tbRealTime->isChecked());

    // The warning appears with its opt-out; ticking it stores ShowRTWarning false.
    prefs->link.SetShowRTWarning(true);
    messages.queue(MsgAnswer::Yes);
    OnNextModal("dlgDisposable", [](QWidget *d) {
        d->findChild<QCheckBox *>()->setChecked(true);
        d->findChild<QPushButton *>()->click();
    });
    actions().mnuOptionsRealTime->trigger();
    ASSERT_TRUE(state().RealTimeEnabled);
    EXPECT_FALSE(prefs->link.ShowRTWarning());
    EXPECT_TRUE(actions().mnuOptionsRealTime->isChecked());
    EXPECT_TRUE(actions().tbRealTime->isChecked());
    EXPECT_EQ(actions().tbRealTime->toolTip(), "Disable real-time mode");
    const QList<QAction *> offInRealTime = {
        actions().mnuFileOpenBin, actions().mnuFileSaveBin,     actions().mnuLoad,
        actions().mnuOptionsRead, actions().mnuOptionsWrite,    actions().tbRead,
        actions().tbWrite,        actions().mnuDataLoggingSave, actions().mnuToolsStagedRevLimiter,
        actions().mnuToolsMapCopy};
    for (QAction *item : offInRealTime)
        EXPECT_FALSE(item->isEnabled()) << item->objectName().toStdString();
    EXPECT_TRUE(panels().VntRTEnabled->isVisibleTo(&w()));
    EXPECT_FALSE(panels().VntRTDisabled->isVisibleTo(&w()));
    EXPECT_TRUE(w().RealTimeStrip()->isVisibleTo(&w()));

    actions().tbRealTime->trigger();
    EXPECT_FALSE(state().RealTimeEnabled);
    for (QAction *item : offInRealTime)
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    EXPECT_TRUE(panels().VntRTDisabled->isVisibleTo(&w()));
    EXPECT_FALSE(panels().VntRTEnabled->isVisibleTo(&w()));
    EXPECT_FALSE(w().RealTimeStrip()->isVisibleTo(&w()));
    EXPECT_EQ(actions().tbRealTime->toolTip(), "Enable real-time mode");
}

TEST_F(ConnectionFlowTest, DisconnectInRealTimeModeRestoresTheRevLimit)
{
    start();
    connectBox();
    actions().mnuOptionsRealTime->trigger();
    ASSERT_TRUE(state().RealTimeEnabled);
    state().StagedRevLimitActive = true; // the staged limit is in the box
    const int limit = state().tune.general().RevLimiter();

    actions().mnuOptionsConnect->trigger(); // disconnect
    EXPECT_FALSE(state().RealTimeEnabled);
    EXPECT_FALSE(state().StagedRevLimitActive);
    EXPECT_EQ(prefs->link.ConnectionState(), 0);
    EXPECT_EQ(status(), "Not Connected");
    EXPECT_FALSE(panels().VntRTEnabled->isVisibleTo(&w()));
    EXPECT_FALSE(actions().mnuOptionsWrite->isEnabled());
    EXPECT_FALSE(app->port().IsOpen());
    const QString expected = QString("77 01 7F B4 %1").arg(limit, 2, 16, QChar('0')).toUpper();
    EXPECT_TRUE(box->logLines().last().startsWith(expected)) << box->logLines().last().toStdString();
    EXPECT_EQ(panels().HardwareVersion->text(), "Hardware Version 2.05 (7)   ") << "keeps its last text";
}

TEST_F(ConnectionFlowTest, RefusedAndSilentBoxes)
{
    struct Case
    {
        QStringList args;
        const char *message;
    };
    const Case cases[] = {
        {{"--refuse-version"}, "Received Version response with bad checksum."},
        {{"--never-answer"},
         "Could not communicate wuth the Vantrelle hardware.  Please check your COM port settings and try again."},
    };
    for (const Case &c : cases) {
        app.reset();
        prefs.reset();
        messages.clear();
        start(c.args);
        messages.queue(MsgAnswer::Yes);
        actions().mnuOptionsConnect->trigger();
        ASSERT_FALSE(messages.shown().empty());
        EXPECT_EQ(messages.shown().back().text, c.message);
        EXPECT_EQ(messages.shown().back().icon, MsgIcon::Critical);
        EXPECT_EQ(prefs->link.ConnectionState(), 0);
        EXPECT_EQ(status(), "Not Connected");
        EXPECT_FALSE(actions().mnuFileOpenBin->isEnabled());
        EXPECT_FALSE(actions().mnuLoad->isEnabled());
        EXPECT_FALSE(app->port().IsOpen());
    }
}

TEST_F(ConnectionFlowTest, StockProgramGoesIntoTheBoxAndIsReadBack)
{
    start({"--stock", "101"});
    connectBox(MsgAnswer::No);
    w().SetCurrentFileName(dir.filePath("was.vnt"));
    w().setWindowTitle("Vantrelle - was.vnt");
    state().tune.general().SetRevLimiter(77);
    state().Modified = true;

    messages.queue(MsgAnswer::Yes); // "Are you sure that you want to load ..."
    messages.queue(MsgAnswer::Yes); // "Read the current Vantrelle settings?"
    messages.queue(MsgAnswer::Yes); // "Do you wish to save the current changes?"
    OnNextModal("dlgLoadBin", [](QWidget *d) {
        d->findChild<QRadioButton *>("radioNAAutoFed")->setChecked(true);
        d->findChild<QPushButton *>("OKButton")->click();
    });
    actions().mnuLoad->trigger();

    EXPECT_EQ(w().windowTitle(), "Vantrelle");
    EXPECT_TRUE(w().CurrentFileName().isEmpty());
    EXPECT_EQ(framesStartingWith("57 00").size(), 128);
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
// the version answer and three blocks, and the file chosen keeps its old
// contents; a pipe chosen as the file is refused before anything is sent.
TEST_F(ConnectionFlowTest, SaveRomToBinThatFailsLeavesTheFileAsItWas)
{
    start({"--silent-after", "4"});
    connectBox(MsgAnswer::No);
    const QString saved = dir.filePath("box.bin");
    const QByteArray old(32768, '\x5A');
    ASSERT_TRUE(testenv::writeFile(saved, old));
    ASSERT_TRUE(testenv::makeFifo(dir.filePath("pipe.bin")));
    const size_t messagesBefore = messages.shown().size();

    files.queue(dir.filePath("pipe.bin"));
    actions().mnuFileSaveBin->trigger();
    EXPECT_EQ(box->logLines().size(), 1) << "only the version request";
    EXPECT_TRUE(testenv::isFifo(dir.filePath("pipe.bin")));

    files.queue(saved);
    actions().mnuFileSaveBin->trigger();
    EXPECT_GE(box->waitForLogLines(5).size(), 5);
    EXPECT_EQ(testenv::readFile(saved), old);
    EXPECT_EQ(QDir(dir.path()).entryList({"box.bin*"}, QDir::Files), QStringList{"box.bin"});
    ASSERT_EQ(messages.shown().size(), messagesBefore + 2);
    EXPECT_TRUE(messages.shown()[messagesBefore].text.contains("pipe"));
}

TEST_F(ConnectionFlowTest, ImageFilesToAndFromTheBox)
{
    start();
    connectBox(MsgAnswer::No);
    const QString saved = dir.filePath("box.bin");
    files.queue(saved);
    actions().mnuFileSaveBin->trigger();
    EXPECT_EQ(files.asked().back().filter, "Map Files (*.bin)|*.bin|All Files (*.*)|*.*");
    EXPECT_EQ(testenv::readFile(saved), LoadStockImage(105).image);

    // A short file is refused before anything is sent, and nothing is read back.
    const QString shortFile = dir.filePath("short.bin");
    testenv::writeFile(shortFile, QByteArray(1000, '\1'));
    const int framesBefore = box->logLines().size();
    const size_t messagesBefore = messages.shown().size();
    files.queue(shortFile);
    actions().mnuFileOpenBin->trigger();
    EXPECT_EQ(box->logLines().size(), framesBefore);
    ASSERT_EQ(messages.shown().size(), messagesBefore + 1);
    EXPECT_TRUE(messages.shown().back().text.contains("1000")) << messages.shown().back().text.toStdString();

    // A whole image goes in and the tune is read back.
    QByteArray image = LoadStockImage(104).image;
    const QString other = dir.filePath("other.bin");
    testenv::writeFile(other, image);
    files.queue(other);
    messages.queue(MsgAnswer::Yes);
    actions().mnuFileOpenBin->trigger();
    Tune expected;
    TuneFromImage(image, expected);
    EXPECT_TRUE(state().tune.sameContents(expected));
}

TEST_F(ConnectionFlowTest, WriteQuestionsTellWhatChangesAndWarn)
{
    start();
    connectBox();
    const int limit = state().tune.general().RevLimiter();
    state().tune.general().SetRevLimiter(19);
    state().TuneOriginWarning = "odd.bin is 1000 bytes long";
    state().ChangesNotSent = true;
    const int framesBefore = box->logLines().size();

    messages.queue(MsgAnswer::No);
    actions().tbWrite->trigger();
    const ScriptedMessageBoxService::Shown write = messages.shown().back();
    EXPECT_EQ(write.text, "Write the current settings to the Vantrelle?");
    EXPECT_EQ(write.icon, MsgIcon::Question);
    const QStringList expected = {QString("Rev Limiter: %1 -> 950 RPM").arg(limit * 50),
                                  "Already in the Vantrelle as they are: 21 items",
                                  "The rev limiter is 950 RPM, below 1000 RPM.", "odd.bin is 1000 bytes long"};
    for (const QString &line : expected)
        EXPECT_TRUE(write.details.contains(line)) << write.details.toStdString();

    // The changes-only write tells the same; its warnings do not stop it.
    messages.queue(MsgAnswer::Yes);
    actions().mnuOptionsWriteChanges->trigger();
    const ScriptedMessageBoxService::Shown changes = messages.shown().back();
    EXPECT_EQ(changes.text, "Write the current settings to the Vantrelle?");
    for (const QString &line : {expected[0], expected[2], expected[3]})
        EXPECT_TRUE(changes.details.contains(line)) << changes.details.toStdString();
    const QByteArray frame = Frames::WriteRequest(0x7FB4, QByteArray(1, 19));
    EXPECT_EQ(box->logLines().mid(framesBefore), QStringList{QString::fromLatin1(frame.toHex(' ').toUpper())});
    EXPECT_FALSE(state().ChangesNotSent);
}

TEST_F(ConnectionFlowTest, FailedRealTimeWriteWaitsForWriteChanges)
{
    start({"--bad-ack", "1"}); // the box refuses the first write
    connectBox();
    actions().mnuOptionsRealTime->trigger();
    ASSERT_TRUE(state().RealTimeEnabled);
    const int before = state().tune.map(MapKey::HOFM).MapValue(0);
    editFirstFuelCell();
    EXPECT_EQ(messages.shown().back().text, LinkMessages::NotAcknowledged);
    EXPECT_NE(state().tune.map(MapKey::HOFM).MapValue(0), before) << "the edit stays";
    EXPECT_TRUE(state().ChangesNotSent);
    EXPECT_TRUE(w().statusBar()->currentMessage().startsWith("The change to High Octane Fuel Map did not reach"))
        << w().statusBar()->currentMessage().toStdString();

    // Out of real-time mode, the write of the changes sends that map again, and only it.
    actions().mnuOptionsRealTime->trigger();
    const int framesBefore = box->logLines().size();
    messages.queue(MsgAnswer::Yes);
    actions().mnuOptionsWriteChanges->trigger();
    EXPECT_TRUE(messages.shown().back().details.contains("Not known to be in the Vantrelle, written whole: High "
                                                         "Octane Fuel Map"))
        << messages.shown().back().details.toStdString();
    const QStringList sent = box->logLines().mid(framesBefore);
    ASSERT_EQ(sent.size(), 1) << sent.join(" | ").toStdString();
    EXPECT_TRUE(sent[0].startsWith("57 00 7D 00"));
    EXPECT_FALSE(state().ChangesNotSent);
    EXPECT_EQ(box->stop(), 0);
    EXPECT_EQ(box->savedImage().mid(0x7D00, 256), ItemBytes(state().tune, 1));
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
             actions().mnuOptionsRealTime->trigger();
             box->kill();
             editFirstFuelCell();
             EXPECT_TRUE(state().ChangesNotSent);
             EXPECT_TRUE(w().statusBar()->currentMessage().startsWith("The change to High Octane Fuel Map"));
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
             actions().mnuOptionsWrite->trigger();
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
        ASSERT_EQ(prefs->link.ConnectionState(), 2);
        const size_t shownBefore = messages.shown().size();
        c.kill();
        ASSERT_TRUE(QTest::qWaitFor([&] { return prefs->link.ConnectionState() == 0; }, 20000));
        QStringList told;
        for (size_t i = shownBefore; i < messages.shown().size(); ++i)
            if (messages.shown()[i].icon != MsgIcon::Question)
                told << messages.shown()[i].text;
        ASSERT_EQ(told.size(), 1) << told.join(" | ").toStdString();
        EXPECT_TRUE(told[0].startsWith("The connection to the Vantrelle was lost: " + box->device()))
            << told[0].toStdString();
        EXPECT_EQ(messages.shown().back().icon, MsgIcon::Critical);
        EXPECT_EQ(status(), "Not Connected");
        EXPECT_FALSE(state().RealTimeEnabled);
        EXPECT_FALSE(app->port().IsOpen());
        EXPECT_FALSE(actions().mnuOptionsWrite->isEnabled());
    }
    box = std::make_unique<BoxSim>();
    ASSERT_TRUE(box->started());
    prefs->link.SetPortName(box->device());
    messages.queue(MsgAnswer::Yes); // "Ensure that your car is not running..."
    messages.queue(MsgAnswer::Yes); // "Read the current Vantrelle settings?"
    messages.queue(MsgAnswer::No);  // the edits above need not be saved first
    actions().mnuOptionsConnect->trigger();
    EXPECT_EQ(prefs->link.ConnectionState(), 2);
    EXPECT_EQ(framesStartingWith("52").size(), 22);
}
