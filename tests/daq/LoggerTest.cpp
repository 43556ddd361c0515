// The data logger, on real files: temporary log, header and line formats
// byte by byte, saving and discarding.

#include "daq/CVRTLogger.h"
#include "daq/CVScalingCalculator.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/SettingsStore.h"
#include "shell/prefs/CVUserPrefs.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>

namespace {

class Messages : public MessageBoxService
{
public:
    struct Shown
    {
        QString text;
        MsgIcon icon;
        MsgButtons buttons;
    };
    MsgAnswer show(QWidget *, const QString &text, MsgIcon icon, MsgButtons buttons) override
    {
        shown.push_back({text, icon, buttons});
        if (answers.empty())
            return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Yes;
        const MsgAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<Shown> shown;
    std::deque<MsgAnswer> answers;
};

class Files : public FileDialogService
{
public:
    struct Asked
    {
        QString title;
        QString filter;
        int selectedFilter;
        QString suggestedName;
    };
    QString openFile(QWidget *, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &title, const QString &filter, const QString &name) override
    {
        return saveFileSelectingFilter(nullptr, title, filter, 1, name);
    }
    QString saveFileSelectingFilter(QWidget *, const QString &title, const QString &filter, int selected,
                                    const QString &name) override
    {
        asked.push_back({title, filter, selected, name});
        if (paths.empty())
            return {};
        const QString p = paths.front();
        paths.pop_front();
        return p;
    }
    std::vector<Asked> asked;
    std::deque<QString> paths; // an empty path is a Cancel
};

class LoggerTest : public ::testing::Test
{
protected:
    LoggerTest() : store(dir.filePath("Vantrelle.ini")), prefs(store)
    {
        prefs.AddDAQInput("EGT", 3, CVDAQInput::SingleEnded, 0, 0.0, "V*100", true, false, 0, 0, 0, 0, 0);
        prefs.AddDAQInput("Launch", 2, CVDAQInput::Digital, 0, 0.0, "", true, false, 0, 0, 0, 0, 0);
        prefs.AddDAQInput("Spare", 5, CVDAQInput::SingleEnded, 0, 0.0, "", false, false, 0, 0, 0, 0, 0);
    }
    std::unique_ptr<CVRTLogger> logger()
    {
        auto l = std::make_unique<CVRTLogger>(prefs, messages, files);
        l->SetClock([] { return QDateTime(QDate(2026, 12, 6), QTime(14, 3, 27, 125)); });
        return l;
    }
    void sample(float mas, float egt, float launch)
    {
        prefs.FindDAQInput("MAS")->SetVoltage(mas, calc);
        prefs.FindDAQInput("EGT")->SetVoltage(egt, calc);
        prefs.FindDAQInput("Launch")->SetVoltage(launch, calc);
    }
    QString out(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    SettingsStore store;
    CVUserPrefs prefs;
    CVScalingCalculator calc;
    Messages messages;
    Files files;
};

const QByteArray CsvHeader = "DATE/TIME,RPM,TP,Timing Mark,Low Gear Enrichment,High Gear Enrichment,"
                             "Injector Pulsewidth,Injector Duty,MAS,EGT,Launch\r\n";

TEST_F(LoggerTest, CommaSeparatedLogByteForByte)
{
    auto log = logger();
    ASSERT_TRUE(log->CreateNewLogFile());
    EXPECT_TRUE(messages.shown.empty()) << "no previous log, no question";
    const QFileInfo temp(log->TempFileName());
    EXPECT_TRUE(temp.fileName().startsWith("vnt"));
    EXPECT_EQ(temp.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    EXPECT_EQ(testenv::readFile(log->TempFileName()), CsvHeader);

    sample(2.0f, 3.215f, 1.0f);
    log->LogEntry(3000, 19.98f, 33, 11, 10, 2.75f, 6.88f);
    // On disk at once, while the log is still open.
    EXPECT_EQ(testenv::readFile(log->TempFileName()),
              CsvHeader + "2026-12-06 14:03:27.125,3000,19.98,33,11,10,2.75,6.88,2,321.5,1\r\n");
    sample(0.5f, 0.0f, 0.0f);
    log->LogEntry(0, 0.0f, 0, 0, 0, 0.0f, 0.0f);

    files.paths.push_back(out("run.csv"));
    log->SaveLogFile(false);
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].title, "Save");
    EXPECT_EQ(files.asked[0].filter, "Comma Separated Values (*.csv)|*.csv|Tab Separated Values (*.txt)|*.txt|"
                                     "All Files (*.*)|*.*");
    EXPECT_EQ(files.asked[0].selectedFilter, 1);
    EXPECT_EQ(files.asked[0].suggestedName, "");
    EXPECT_EQ(testenv::readFile(out("run.csv")),
              CsvHeader + "2026-12-06 14:03:27.125,3000,19.98,33,11,10,2.75,6.88,2,321.5,1\r\n"
                          "2026-12-06 14:03:27.125,0,0,0,0,0,0,0,0.5,0,0\r\n");
    EXPECT_FALSE(log->IsLogOpen());
    EXPECT_FALSE(QFileInfo::exists(temp.filePath())) << "the temporary log is gone once saved";
    EXPECT_TRUE(messages.shown.empty());

    log->LogEntry(1, 1.0f, 1, 1, 1, 1.0f, 1.0f); // no log open: nothing
    log->SaveLogFile(true);                     // nothing to save: nothing asked
    EXPECT_EQ(files.asked.size(), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LoggerTest, TabSeparatedLogAndTheTextFilterPreselected)
{
    prefs.SetDataLogFormat(0);
    auto log = logger();
    ASSERT_TRUE(log->CreateNewLogFile());
    sample(1.25f, 1.0f, 0.0f);
    log->LogEntry(850, 7.5f, 12, 100, 101, 0.94f, 0.66f);
    EXPECT_EQ(testenv::readFile(log->TempFileName()),
              "DATE/TIME\tRPM\tTP\tTiming Mark\tLow Gear Enrichment\tHigh Gear Enrichment\t"
              "Injector Pulsewidth\tInjector Duty\tMAS\tEGT\tLaunch\r\n"
              "2026-12-06 14:03:27.125\t850\t7.5\t12\t100\t101\t0.94\t0.66\t1.25\t100\t0\r\n");
    files.paths.push_back(out("run.txt"));
    log->SaveLogFile(false);
    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(files.asked[0].selectedFilter, 2);

    // The separator is fixed when the log starts.
    prefs.SetDataLogFormat(1);
    EXPECT_EQ(testenv::readFile(out("run.txt")).count('\t'), 20);
}

TEST_F(LoggerTest, CancellingTheDialogKeepsTheLogForALaterSave)
{
    auto log = logger();
    ASSERT_TRUE(log->CreateNewLogFile());
    log->LogEntry(1000, 10.0f, 1, 2, 3, 1.0f, 2.0f);
    files.paths.push_back(QString()); // Cancel
    log->SaveLogFile(false);
    EXPECT_TRUE(log->IsLogOpen());
    EXPECT_TRUE(QFileInfo::exists(log->TempFileName()));
    const QByteArray kept = testenv::readFile(log->TempFileName());

    files.paths.push_back(out("later.csv"));
    log->SaveLogFile(false);
    EXPECT_EQ(testenv::readFile(out("later.csv")), kept);
}

TEST_F(LoggerTest, ANewLogOffersToSaveThePreviousOneAndDiscardsItOnNo)
{
    auto log = logger();
    ASSERT_TRUE(log->CreateNewLogFile());
    const QString first = log->TempFileName();
    log->LogEntry(1000, 10.0f, 1, 2, 3, 1.0f, 2.0f);

    messages.answers.push_back(MsgAnswer::No);
    ASSERT_TRUE(log->CreateNewLogFile());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Do you wish to save the last datalog?");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_TRUE(files.asked.empty());
    EXPECT_FALSE(QFileInfo::exists(first)) << "the declined log is discarded";
    EXPECT_NE(log->TempFileName(), first);
    EXPECT_EQ(testenv::readFile(log->TempFileName()), CsvHeader);

    // Yes, then a file: the previous log is saved before the new one starts.
    log->LogEntry(2000, 20.0f, 1, 2, 3, 1.0f, 2.0f);
    const QString second = log->TempFileName();
    messages.answers.push_back(MsgAnswer::Yes);
    files.paths.push_back(out("second.csv"));
    ASSERT_TRUE(log->CreateNewLogFile());
    EXPECT_TRUE(testenv::readFile(out("second.csv")).contains(",2000,"));
    EXPECT_FALSE(QFileInfo::exists(second));

    // Yes, then Cancel: discarded as well.
    const QString third = log->TempFileName();
    messages.answers.push_back(MsgAnswer::Yes);
    files.paths.push_back(QString());
    ASSERT_TRUE(log->CreateNewLogFile());
    EXPECT_FALSE(QFileInfo::exists(third));
}

TEST_F(LoggerTest, AFailedSaveLeavesNoFileThereAndKeepsTheLog)
{
    auto log = logger();
    ASSERT_TRUE(log->CreateNewLogFile());
    log->LogEntry(1000, 10.0f, 1, 2, 3, 1.0f, 2.0f);
    const QString temp = log->TempFileName();
    const QString target = out("missing-folder/run.csv");
    files.paths.push_back(target);
    log->SaveLogFile(false);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(messages.shown[0].text.contains(target));
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_TRUE(log->IsLogOpen());
    // The log goes on and can still be saved.
    log->LogEntry(1100, 10.0f, 1, 2, 3, 1.0f, 2.0f);
    files.paths.push_back(out("run.csv"));
    log->SaveLogFile(false);
    const QByteArray saved = testenv::readFile(out("run.csv"));
    EXPECT_TRUE(saved.contains(",1000,") && saved.contains(",1100,"));
    EXPECT_FALSE(QFileInfo::exists(temp));

    // A log the user wanted but that could not be saved is left on disk
    // when the next log starts, not deleted.
    ASSERT_TRUE(log->CreateNewLogFile());
    const QString wanted = log->TempFileName();
    messages.answers.push_back(MsgAnswer::Yes);
    files.paths.push_back(target);
    ASSERT_TRUE(log->CreateNewLogFile());
    EXPECT_TRUE(QFileInfo::exists(wanted));
    EXPECT_TRUE(messages.shown.back().text.contains(wanted));
    QFile::remove(wanted);
}

TEST_F(LoggerTest, SavingOverwritesAnExistingFile)
{
    testenv::writeFile(out("old.csv"), QByteArray(5000, 'x'));
    auto log = logger();
    ASSERT_TRUE(log->CreateNewLogFile());
    files.paths.push_back(out("old.csv"));
    log->SaveLogFile(false);
    EXPECT_EQ(testenv::readFile(out("old.csv")), CsvHeader);
}

TEST_F(LoggerTest, ReleasingTheLoggerDiscardsAnUnsavedLog)
{
    QString temp;
    {
        auto log = logger();
        ASSERT_TRUE(log->CreateNewLogFile());
        temp = log->TempFileName();
        EXPECT_TRUE(QFileInfo::exists(temp));
    }
    EXPECT_FALSE(QFileInfo::exists(temp));
}

TEST_F(LoggerTest, NoTemporaryFileMeansAMessageAndNoLog)
{
    const QByteArray saved = qgetenv("TMPDIR");
    // A file where the temporary folder should be.
    testenv::writeFile(dir.filePath("not-a-folder"), "x");
    qputenv("TMPDIR", dir.filePath("not-a-folder").toLocal8Bit());
    auto log = logger();
    const bool started = log->CreateNewLogFile();
    qputenv("TMPDIR", saved);
    EXPECT_FALSE(started);
    EXPECT_FALSE(log->IsLogOpen());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_FALSE(messages.shown[0].text.isEmpty());
    log->LogEntry(1, 1.0f, 1, 1, 1, 1.0f, 1.0f); // ignored
}

TEST_F(LoggerTest, DefaultClockWritesMilliseconds)
{
    CVRTLogger log(prefs, messages, files);
    ASSERT_TRUE(log.CreateNewLogFile());
    log.LogEntry(1, 1.0f, 1, 1, 1, 1.0f, 1.0f);
    const QList<QByteArray> lines = testenv::readFile(log.TempFileName()).split('\n');
    ASSERT_GE(lines.size(), 2);
    const QByteArray stamp = lines[1].left(23);
    EXPECT_TRUE(QDateTime::fromString(QString::fromLatin1(stamp), "yyyy-MM-dd HH:mm:ss.zzz").isValid()) << stamp.data();
}

} // namespace
