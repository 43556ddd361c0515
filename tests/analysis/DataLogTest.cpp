// Reading data logs: the logger's own files (both separators, its date form,
// CR LF) and damaged and foreign ones, within bounds. The running session's
// file is read through the viewer (ViewerTest).

#include "analysis/DataLog.h"
#include "support/TestEnv.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

const char *const Header = "DATE/TIME,RPM,TP,Timing Mark,Low Gear Enrichment,High Gear Enrichment,"
                           "Injector Pulsewidth,Injector Duty,MAS,AFR";

QByteArray tabbed(QByteArray text)
{
    return text.replace(',', '\t');
}

TEST(DataLogRead, CommaAndTabLogsGiveTheSameColumnsAndTimes)
{
    const QByteArray csv = QByteArray(Header) + "\r\n"
                           "2026-12-06 14:03:27.125,1250,42.5,12,5,7,3.21,8.5,2.75,14.7\r\n"
                           "2026-12-06 14:03:27.150,1300,43,12,5,7,3.3,8.75,2.8,14.6\r\n"
                           "2026-12-06 14:03:28.000,1350,-1.5,13,6,8,3.4,9,2.85,14.5\r\n";
    for (const QByteArray &text : {csv, tabbed(csv)}) {
        DataLogReport report;
        const DataLog log = ParseDataLog(text, &report);
        ASSERT_TRUE(report.ok);
        ASSERT_EQ(std::pair(log.names.size(), log.rowCount()), std::pair(qsizetype(9), std::size_t(3)));
        EXPECT_EQ(std::tuple(log.time[0], std::round(log.time[1] * 1000), std::round(log.time[2] * 1000)),
                  std::tuple(0.0, 25.0, 875.0));
        EXPECT_EQ(std::tuple(log.columns[0][1], log.columns[1][2], log.columns[8][2]),
                  std::tuple(1300.0f, -1.5f, 14.5f));
        EXPECT_EQ(report.shortLines + report.longLines + report.badFields + report.undatedLines, 0u);
    }
}

TEST(DataLogRead, ShortAndLongLinesKeepWhatTheyHave)
{
    const QByteArray text = "DATE/TIME,RPM,TP,AFR\r\n"
                            "2026-12-06 10:00:00.000,1000,20\r\n"          // AFR missing
                            "2026-12-06 10:00:00.100,1100,21,14.1,99,98\r\n" // two extra fields
                            "2026-12-06 10:00:00.200,,22,abc\r\n"          // empty and non-numeric
                            "\r\n"                                          // blank line
                            "2026-12-06 10:00:00.300,1300,23,14.3\r\n"
                            "2026-12-06 10:00:00.400,14"; // the writer was interrupted
    DataLogReport report;
    const DataLog log = ParseDataLog(text, &report);
    ASSERT_TRUE(report.ok);
    ASSERT_EQ(log.rowCount(), 4u);
    EXPECT_EQ(std::tuple(report.shortLines, report.longLines, report.badFields, report.truncatedLastLine),
              std::tuple(1u, 1u, 1u, true));
    EXPECT_TRUE(std::isnan(log.columns[2][0]) && std::isnan(log.columns[0][2]));
    EXPECT_FLOAT_EQ(log.columns[2][1], 14.1f);
}

// Whatever a file holds, reading stays within bounds: a line of megabytes
// (a binary file, a corrupted log) is left out, and a header of thousands of
// columns is read up to the column limit.
TEST(DataLogRead, OverlongLinesAndTooManyColumnsStayWithinBounds)
{
    QTemporaryDir dir;
    QByteArray text = "DATE/TIME,RPM,TP\r\n2026-12-06 10:00:00.000,1000,20\r\n";
    text += QByteArray(3 * DataLogLimits::MaxLineBytes, 'x') + "\r\n";
    text += "2026-12-06 10:00:00.100,1100,21\r\n";
    text += QByteArray(2 * DataLogLimits::MaxLineBytes, ','); // no line end at all
    const QString path = dir.filePath("big.csv");
    ASSERT_TRUE(testenv::writeFile(path, text));
    DataLogReport report;
    const DataLog log = ReadDataLog(path, &report);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(std::tuple(log.rowCount(), report.overlongLines, log.columns[0][1]),
              std::tuple(std::size_t(2), std::size_t(2), 1100.0f));

    QByteArray wide = "DATE/TIME";
    QByteArray row = "2026-12-06 10:00:00.000";
    for (int c = 0; c < DataLogLimits::MaxColumns + 100; ++c) {
        wide += ",c" + QByteArray::number(c);
        row += "," + QByteArray::number(c);
    }
    const DataLog w = ParseDataLog(wide + "\n" + row + "\n", &report);
    EXPECT_EQ(std::pair(w.columnCount(), w.columns[511][0]), std::pair(DataLogLimits::MaxColumns, 511.0f));
}

TEST(DataLogRead, SpreadsheetCopyWithMarkQuotesLfAndRegionalDates)
{
    const QByteArray text = "\xEF\xBB\xBF\"DATE/TIME\",\"RPM\",\"TP\"\n"
                            "\"12/6/2026 2:03:27 PM\",\"1000\",\"20\"\n"
                            "12/6/2026 2:03:29 PM,1100,+21\n";
    const DataLog log = ParseDataLog(text);
    EXPECT_EQ(log.names, QStringList({"RPM", "TP"}));
    ASSERT_EQ(log.rowCount(), 2u);
    EXPECT_EQ(std::pair(log.time[1], log.columns[1][1]), std::pair(2.0, 21.0f));
}

// Dates a spreadsheet wrote in the regional forms, whole seconds among them:
// lines of one second keep one time (they are not spread), and a text that is
// no date in any form leaves its line undated.
TEST(DataLogRead, RegionalDatesAndEqualWholeSeconds)
{
    struct Case
    {
        const char *first, *second;
        double seconds; // the second line's time; NaN: undated
    };
    const double undated = std::nan("");
    const Case cases[] = {
        {"01/02/2024 10:11:12", "01/02/2024 10:11:12", 0},
        {"01/02/2024 10:11:12", "01/02/2024 10:11:13", 1},
        {"1/31/2024 23:59:59", "2/1/2024 0:00:00", 1},
        {"12/6/2026 11:59:59 AM", "12/6/2026 12:00:00 PM", 1},
        {"12/6/2026 12:00:00 AM", "12/6/2026 1:00:00 am", 3600},
        {"6.12.2026 10:00:00", "7.12.2026 10:00:00", 86400},
        {"2/28/2024 10:00:00", "2/29/2024 10:00:00", 86400},
        {"13/02/2024 10:00:00", "14/02/2024 10:00:00", 86400},
        {"2024/02/01 10:00:00", "2024/02/01 10:00:05", 5},
        {"2026-12-06T10:00:00", "2026-12-06T10:00:02", 2},
        {"2/28/2023 10:00:00", "2/29/2023 10:00:00", undated},
        {"01/02/2024 10:11:12", "01/02/2024 10:60:12", undated},
        {"01/02/2024 10:11:12", "01/02/2024 24:11:12", undated},
        {"01/02/2024 10:11:12", "01/02/2024 10:11:12x", undated},
        {"01/02/2024 10:11:12", "01/02/24 10:11:12", undated},
    };
    for (const Case &c : cases) {
        DataLogReport report;
        const DataLog log = ParseDataLog(QByteArray("DATE/TIME,RPM\r\n") + c.first + ",1\r\n" + c.first
                                             + ",2\r\n" + c.second + ",3\r\n",
                                         &report);
        const bool isDated = !std::isnan(c.seconds);
        ASSERT_EQ(log.rowCount(), 3u) << c.second;
        EXPECT_EQ(std::tuple(log.time[1], log.time[2], report.undatedLines),
                  std::tuple(0.0, isDated ? c.seconds : 0.0, std::size_t(isDated ? 0 : 1)))
            << c.first << " then " << c.second;
    }
}

// A read stopped through its progress ends as cancelled, with nothing read.
TEST(DataLogRead, CancelledReadIsNoLog)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.csv");
    ASSERT_TRUE(testenv::writeFile(path, "DATE/TIME,RPM\r\n2026-12-06 10:00:00.000,1\r\n"));
    DataLogProgress progress;
    progress.cancel = true;
    DataLogReport report;
    EXPECT_EQ(ReadDataLog(path, &report, &progress).rowCount(), 0u);
    EXPECT_TRUE(report.cancelled && !report.ok && !report.error.isEmpty());
    progress.cancel = false;
    EXPECT_EQ(ReadDataLog(path, &report, &progress).rowCount(), 1u);
    EXPECT_EQ(progress.bytesRead.load(), QFileInfo(path).size());
}

TEST(DataLogRead, TimeNeverRunsBackwardsAndUndatedLinesKeepTheLastTime)
{
    const QByteArray text = "DATE/TIME,RPM\r\n"
                            "2026-10-25 02:59:59.000,1\r\n"
                            "2026-10-25 03:00:00.000,2\r\n"
                            "2026-10-25 02:00:00.500,3\r\n" // clock set back an hour
                            "garbage,4\r\n"
                            "2026-10-25 03:00:01.000,5\r\n";
    DataLogReport report;
    const DataLog log = ParseDataLog(text, &report);
    EXPECT_EQ(std::pair(report.clockSteps, report.undatedLines), std::pair(std::size_t(1), std::size_t(1)));
    EXPECT_EQ(log.time, (std::vector<double>{0.0, 1.0, 1.0, 1.0, 2.0}));
}

TEST(DataLogRead, UndatedEmptyMissingAndSpecialFiles)
{
    const DataLog undated = ParseDataLog("RPM;x,TP\n1000,20\n1100,21\n1200,22\n");
    EXPECT_EQ(undated.time, (std::vector<double>{0, 1, 2})) << "no dates at all: sample numbers";
    EXPECT_EQ(undated.columnIndex(" tp "), 1);

    DataLogReport report;
    ParseDataLog("", &report);
    EXPECT_TRUE(!report.ok && !report.error.isEmpty());
    // A missing file, a folder and a pipe (whose open would wait for a
    // writer forever) are refused, each with a reason.
    QTemporaryDir dir;
    ASSERT_TRUE(testenv::makeFifo(dir.filePath("pipe.csv")));
    for (const QString &path : {QStringLiteral("/nonexistent/folder/log.csv"), dir.path(), dir.filePath("pipe.csv")}) {
        ReadDataLog(path, &report);
        EXPECT_TRUE(!report.ok && !report.error.isEmpty()) << path.toStdString();
    }
    // A header alone is a log without samples.
    const DataLog log = ParseDataLog("DATE/TIME,RPM\r\n", &report);
    EXPECT_TRUE(report.ok && log.rowAtOrBefore(1.0) == -1);
}

} // namespace

// One of a kind is said in the singular, more in the plural.
TEST(DataLogRead, TheSummaryCountsInTheRightNumber)
{
    const struct
    {
        std::size_t count;
        const char *expected;
    } cases[] = {
        {1, "1 sample; 1 short line (missing values left blank); 1 field that is not a number; "
            "1 line dated earlier than the line above"},
        {2, "2 samples; 2 short lines (missing values left blank); 2 fields that are not numbers; "
            "2 lines dated earlier than the line above"},
    };
    for (const auto &c : cases) {
        DataLogReport report;
        report.lines = report.shortLines = report.badFields = report.clockSteps = c.count;
        EXPECT_EQ(report.summary(), c.expected);
    }
}
