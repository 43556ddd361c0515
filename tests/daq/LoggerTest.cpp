// The data logger, on real files: the running log in the data folder,
// header and line formats byte by byte, saving and discarding, write
// failures on a full disk and a removed file, and the logs a killed run
// leaves behind.

#include "daq/CVRTLogger.h"
#include "daq/CVScalingCalculator.h"
#include "daq/LogRecovery.h"
#include "support/ScriptedFileDialogService.h"
#include "support/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "daq/DaqSettings.h"
#include "support/SmallDisk.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class LoggerTest : public ::testing::Test
{
protected:
    LoggerTest() : store(dir.filePath("Vantrelle.ini")), prefs(store)
    {
        prefs.AddDAQInput(DAQInputRecord{.name = "EGT", .channel = 3, .scalingFormula = "V*100"});
        prefs.AddDAQInput(DAQInputRecord{.name = "Launch", .channel = 2, .inputType = CVDAQInput::Digital});
        prefs.AddDAQInput(DAQInputRecord{.name = "Spare", .channel = 5, .enabled = false}); // not logged
    }
    std::unique_ptr<CVRTLogger> logger(const QString &folder = RunningLogFolder())
    {
        auto l = std::make_unique<CVRTLogger>(prefs, messages, files, folder);
        l->SetClock([] { return QDateTime(QDate(2026, 12, 6), QTime(14, 3, 27, 125)); });
        return l;
    }
    // The inputs' values of a tick whose readings were these voltages.
    void sample(float mas, float egt, float launch)
    {
        values.clear();
        for (const auto &[name, voltage] : {std::pair("MAS", mas), std::pair("EGT", egt), std::pair("Launch", launch)}) {
            CVDAQInput input = *prefs.FindDAQInput(name);
            input.SetVoltage(voltage, calc);
            values.push_back(input.Value());
        }
    }
    QString out(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    SettingsStore store;
    DaqSettings prefs;
    CVScalingCalculator calc;
    std::vector<float> values{0.0f, 0.0f, 0.0f};
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
};

const QByteArray CsvHeader = "DATE/TIME,RPM,TP,Timing Mark,Low Gear Enrichment,High Gear Enrichment,"
                             "Injector Pulsewidth,Injector Duty,MAS,EGT,Launch\r\n";

// Comma-separated (format 1) or tab-separated (format 0), byte for byte; the
// save dialog preselects the format's filter.
TEST_F(LoggerTest, LogByteForByteInEitherFormat)
{
    const QByteArray first = "2026-12-06 14:03:27.125,3000,19.98,33,11,10,2.75,6.88,2,321.5,1\r\n";
    const QByteArray second = "2026-12-06 14:03:27.125,0,0,0,0,0,0,0,0.5,0,0\r\n";
    for (const int format : {1, 0}) {
        SCOPED_TRACE(format);
        const auto inFormat = [format](QByteArray text) { return format == 1 ? text : text.replace(',', '\t'); };
        prefs.SetDataLogFormat(format);
        auto log = logger();
        ASSERT_TRUE(log->CreateNewLogFile());
        EXPECT_TRUE(messages.shown().empty()) << "no previous log, no question";
        // In the user's data folder, which survives a reboot, owned by a lock.
        const QFileInfo temp(log->LogFileName());
        EXPECT_TRUE(
            temp.absolutePath().startsWith(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)));
        EXPECT_TRUE(QFileInfo::exists(temp.filePath() + ".lock"));

        sample(2.0f, 3.215f, 1.0f);
        log->LogEntry(3000, 19.98f, 33, 11, 10, 2.75f, 6.88f, values);
        // On disk at once, while the log is still open.
        EXPECT_EQ(testenv::readFile(log->LogFileName()), inFormat(CsvHeader + first));
        sample(0.5f, 0.0f, 0.0f);
        log->LogEntry(0, 0.0f, 0, 0, 0, 0.0f, 0.0f, values);

        const QString saved = out(format == 1 ? "run.csv" : "run.txt");
        files.queue(saved);
        log->SaveLogFile(false);
        EXPECT_EQ(files.asked().back().selectedFilter, format == 1 ? 1 : 2);
        EXPECT_EQ(testenv::readFile(saved), inFormat(CsvHeader + first + second));
        EXPECT_FALSE(QFileInfo::exists(temp.filePath())) << "the running log is gone once saved";
        EXPECT_FALSE(QFileInfo::exists(temp.filePath() + ".lock"));
    }
}

TEST_F(LoggerTest, EveryStepThatWouldDiscardUnsavedSamplesAsksFirst)
{
    // A new log (the next switch-on) and the exit both go through the offer.
    const struct
    {
        const char *name;
        MsgAnswer answer;
        const char *saveAs; // nullptr: no dialog expected; "": the dialog is cancelled
        bool goesOn;
    } cases[] = {
        {"No discards", MsgAnswer::No, nullptr, true},
        {"Cancel keeps", MsgAnswer::Cancel, nullptr, false},
        {"Yes, then a cancelled dialog keeps", MsgAnswer::Yes, "", false},
        {"Yes, then a failed save keeps", MsgAnswer::Yes, "missing-folder/x.csv", false},
        {"Yes, then a save", MsgAnswer::Yes, "saved.csv", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (bool newLog : {true, false}) {
            messages.clear();
            const std::size_t asked = files.asked().size();
            auto log = logger();
            ASSERT_TRUE(log->CreateNewLogFile());
            EXPECT_TRUE(log->OfferToSaveLog()) << "a header alone is nothing to lose";
            log->LogEntry(1000, 10.0f, 1, 2, 3, 1.0f, 2.0f, values);
            const QString first = log->LogFileName();
            const QByteArray before = testenv::readFile(first);

            messages.queue(c.answer);
            if (c.saveAs)
                files.queue(*c.saveAs ? out(c.saveAs) : QString());
            const bool wentOn = newLog ? log->CreateNewLogFile() : log->OfferToSaveLog();
            EXPECT_EQ(wentOn, c.goesOn);
            ASSERT_FALSE(messages.shown().empty());
            EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::YesNoCancel);
            EXPECT_EQ(files.asked().size() - asked, c.saveAs ? 1u : 0u);
            if (c.goesOn) {
                EXPECT_FALSE(QFileInfo::exists(first));
                EXPECT_EQ(newLog, log->IsLogOpen() && log->LogFileName() != first);
            } else {
                // Kept as it was, still the current log, still offered.
                EXPECT_EQ(std::tuple(log->LogFileName(), testenv::readFile(first), log->HasUnsavedSamples()),
                          std::tuple(first, before, true));
                if (c.saveAs && *c.saveAs) { // a failed save names its file and leaves none there
                    EXPECT_TRUE(messages.texts().last().contains(out(c.saveAs)) && !QFileInfo::exists(out(c.saveAs)));
                }
            }
            if (c.saveAs && QString(c.saveAs) == "saved.csv") {
                EXPECT_EQ(testenv::readFile(out("saved.csv")), before);
            }
        }
    }
}

TEST_F(LoggerTest, NoLogFolderMeansAMessageAndNoLog)
{
    // A file where the folder should be.
    testenv::writeFile(dir.filePath("not-a-folder"), "x");
    auto log = logger(dir.filePath("not-a-folder/logs"));
    EXPECT_FALSE(log->CreateNewLogFile() || log->IsLogOpen());
    EXPECT_EQ(messages.shown().size(), 1u);
    log->LogEntry(1, 1.0f, 1, 1, 1, 1.0f, 1.0f, values); // ignored
}

} // namespace

TEST_F(LoggerTest, AFailedWriteStopsTheLogAndLeavesWholeLines)
{
    SmallDisk disk(32);
    for (const bool diskFull : {true, false}) {
        SCOPED_TRACE(diskFull ? "disk full" : "file removed");
        if (diskFull && !disk.mounted()) {
            std::printf("[  SKIPPED ] the disk-full case: %s\n", qPrintable(disk.why()));
            continue;
        }
        auto log = logger(diskFull ? disk.path() : dir.filePath("logs"));
        ASSERT_TRUE(log->CreateNewLogFile());
        const QString path = log->LogFileName();
        sample(2.0f, 3.215f, 1.0f);
        int written = 0;
        for (; written < 100000 && !log->WriteFailed(); ++written) {
            if (!diskFull && written == 3) {
                ASSERT_TRUE(QFile::remove(path));
            }
            log->LogEntry(3000 + written, 19.98f, 33, 11, 10, 2.75f, 6.88f, values);
        }
        ASSERT_TRUE(log->WriteFailed());
        EXPECT_TRUE(!log->IsRecording() && log->HasUnsavedSamples()) << "stopped, and an exit must ask about it";
        EXPECT_TRUE(log->StoppedReason().startsWith("Datalog stopped: ")) << log->StoppedReason().toStdString();
        if (diskFull) {
            EXPECT_EQ(log->WriteError(), QString::fromLocal8Bit(std::strerror(ENOSPC)));
        }
        // Put back after a removal, with every line written before it: each
        // ends with CR LF and has as many fields as the header.
        const QByteArray kept = testenv::readFile(path);
        ASSERT_TRUE(kept.endsWith("\r\n")) << kept.right(40).toStdString();
        QList<QByteArray> lines = kept.split('\n');
        lines.removeLast(); // empty, after the last line end
        EXPECT_EQ(lines.size(), log->Samples() + 1);
        for (const QByteArray &line : lines)
            EXPECT_TRUE(line.endsWith('\r') && line.count(',') == lines[0].count(',')) << line.toStdString();
        EXPECT_EQ(log->Samples(), diskFull ? written - 1 : 3);

        // Logging has stopped: later ticks add nothing.
        log->LogEntry(1, 1.0f, 1, 1, 1, 1.0f, 1.0f, values);
        EXPECT_EQ(testenv::readFile(path), kept);
        // What was logged can still be saved, elsewhere.
        files.queue(out(diskFull ? "full.csv" : "removed.csv"));
        EXPECT_TRUE(log->OfferToSaveLog());
        EXPECT_EQ(testenv::readFile(out(diskFull ? "full.csv" : "removed.csv")), kept);
    }
}

TEST_F(LoggerTest, AKilledRunLeavesItsLogForTheNextStartButALiveOneIsNeverTaken)
{
    const QString folder = dir.filePath("logs");
    QDir().mkpath(folder);
    auto live = logger(folder);
    ASSERT_TRUE(live->CreateNewLogFile());
    live->LogEntry(1000, 10.0f, 1, 2, 3, 1.0f, 2.0f, values);

    // Another process logging into the same folder, killed while it runs.
    QProcess cli;
    cli.start(testenv::binary("vantrelle-cli"),
              {"--sim-daq", "log", folder + "/out.csv", "--count", "100000", "--rate", "5"});
    ASSERT_TRUE(cli.waitForStarted(30000));
    QString killed;
    QElapsedTimer waited; // a deadline for the condition, not a guess of how long it takes
    waited.start();
    while (killed.isEmpty() && waited.elapsed() < 60000) {
        for (const QFileInfo &f : QDir(folder).entryInfoList({"vnt*.csv"}, QDir::Files))
            if (f.absoluteFilePath() != live->LogFileName() && testenv::readFile(f.absoluteFilePath()).count('\n') >= 4)
                killed = f.absoluteFilePath();
        QThread::msleep(10);
    }
    ASSERT_FALSE(killed.isEmpty()) << cli.readAllStandardError().toStdString();
    EXPECT_TRUE(FindLeftBehindLogs(folder).empty()) << "both owners still run";
    cli.kill();
    cli.waitForFinished();

    std::vector<LeftBehindLog> found = FindLeftBehindLogs(folder);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].path == killed && found[0].samples >= 3) << found[0].path.toStdString();
    EXPECT_TRUE(testenv::readFile(killed).endsWith("\r\n") && !QFileInfo::exists(folder + "/out.csv"));
}

TEST_F(LoggerTest, ALeftBehindLogIsSavedViewedDiscardedOrKept)
{
    const QByteArray left = CsvHeader + "2026-12-06 14:03:27.125,3000,19.98,33,11,10,2.75,6.88,2,321.5,1\r\n"
                                        "2026-12-06 14:03:27.225,3100,20,33,11,10,2.75,6.88,2,321.5,1\r\n";
    // Cut off by a power loss: half a line and zeros behind the last whole one.
    const QByteArray onDisk = left + "2026-12-06 14:03:2" + QByteArray(300, '\0');
    const struct
    {
        const char *name;
        int choice;
        const char *saveAs; // nullptr: no dialog
        bool stays;         // offered again at the next start
        bool adopted;
    } cases[] = {
        {"save", LogRecovery::Save, "saved.csv", false, false},
        {"save cancelled", LogRecovery::Save, "", true, false},
        {"open in viewer", LogRecovery::OpenInViewer, nullptr, true, true},
        {"discard", LogRecovery::Discard, nullptr, false, false},
        {"later (Escape)", LogRecovery::Later, nullptr, true, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const QString path = folder.filePath("vntAbc123.csv");
        testenv::writeFile(path, onDisk);
        testenv::writeFile(folder.filePath("vntEmpty99.csv"), CsvHeader); // no samples: goes quietly
        messages.clear();
        messages.queueChoice(c.choice);
        if (c.saveAs)
            files.queue(*c.saveAs ? out(c.saveAs) : QString());
        auto log = logger(folder.path());
        QStringList viewed;
        LogRecovery::OfferLeftBehindLogs(*log, messages, nullptr, [&](const QString &p) { viewed << p; });

        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_TRUE(messages.shown()[0].text.contains(QDir::toNativeSeparators(path))
                    && messages.shown()[0].text.contains("2 samples"));
        EXPECT_FALSE(QFileInfo::exists(folder.filePath("vntEmpty99.csv")));
        EXPECT_EQ(QFileInfo::exists(path), c.stays || c.adopted);
        if (QFileInfo::exists(path)) {
            EXPECT_EQ(testenv::readFile(path), left) << "cut back to whole lines";
        }
        if (c.saveAs && *c.saveAs) {
            EXPECT_EQ(testenv::readFile(out(c.saveAs)), left);
            QFile::remove(out(c.saveAs));
        }
        EXPECT_EQ(viewed, c.adopted ? QStringList{path} : QStringList{});
        EXPECT_EQ(log->LogFileName(), c.adopted ? path : QString());
        if (c.adopted) {
            // Held like a log of this run: nothing appended, offered before it goes.
            log->LogEntry(1, 1.0f, 1, 1, 1, 1.0f, 1.0f, values);
            EXPECT_EQ(testenv::readFile(path), left);
            EXPECT_TRUE(FindLeftBehindLogs(folder.path()).empty()) << "not offered twice";
            messages.queue(MsgAnswer::No);
            EXPECT_TRUE(log->OfferToSaveLog());
            EXPECT_FALSE(QFileInfo::exists(path));
        }
        log.reset();
        EXPECT_EQ(FindLeftBehindLogs(folder.path()).size(), c.stays && !c.adopted ? 1u : 0u);
    }
}
