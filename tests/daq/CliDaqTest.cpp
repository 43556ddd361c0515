// vantrelle-cli's eval, sample and log, run as separate processes against a
// private preferences store.

#include "support/SmallDisk.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CliDaqTest : public ::testing::Test
{
protected:
    testenv::ProcessResult cli(const QStringList &args)
    {
        testenv::ProcessResult result;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        p.setProcessEnvironment(env);
        p.start(testenv::binary("vantrelle-cli"), args);
        if (!p.waitForStarted(30000))
            return result;
        p.closeWriteChannel();
        result.finished = p.waitForFinished(60000);
        if (!result.finished) {
            p.kill();
            p.waitForFinished();
        }
        result.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        result.out = p.readAllStandardOutput();
        result.err = p.readAllStandardError();
        return result;
    }
    // The user's store, as the setup panel would have left it.
    QSettings settings() { return QSettings(dir.filePath("config/Vantrelle/Vantrelle.ini"), QSettings::IniFormat); }
    void configureInputs()
    {
        QSettings s(dir.filePath("config/Vantrelle/Vantrelle.ini"), QSettings::IniFormat);
        const auto input = [&](const QString &name, int channel, int type, const QString &formula) {
            s.setValue("LabJack/" + name + "/Correction", "0");
            s.setValue("LabJack/" + name + "/Input", channel);
            s.setValue("LabJack/" + name + "/InputType", type);
            s.setValue("LabJack/" + name + "/Gain", 0);
            s.setValue("LabJack/" + name + "/ScalingFormula", formula);
            s.setValue("LabJack/" + name + "/Enabled", "1");
        };
        input("MAS", 0, 0, "");
        input("EGT", 4, 0, "(V-1)*300");
        input("Launch", 0, 2, "");
    }

    QTemporaryDir dir;
};

// The evaluator itself is tested on its own; here the exit codes and where
// value and message go.
TEST_F(CliDaqTest, EvalPrintsTheValueOrTheMessage)
{
    auto r = cli({"eval", "(V-0.5)*2", "1.5"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "2\n");
    r = cli({"eval", "V/0", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains("Error in scaling formula.  It results in a divide by 0 error.")) << r.err.data();
    EXPECT_EQ(cli({"eval", "V", "volts"}).exitCode, 2);
}

TEST_F(CliDaqTest, SampleOnTheSimulatedDevicePrintsOneLinePerTick)
{
    configureInputs();
    const auto r = cli({"--sim-daq", "sample", "--count", "40", "--rate", "0"});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0) << r.err.data();
    const QStringList lines = QString::fromUtf8(r.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 40);
    const QRegularExpression shape(R"(^RPM=\d+ TP=[-0-9.e+]+ Timing=-?\d+ LowGear=-?\d+ HighGear=-?\d+ )"
                                   R"(PW=[-0-9.e+]+ Duty=[-0-9.e+]+ MAS=[-0-9.e+]+ EGT=[-0-9.e+]+ Launch=[01]$)");
    for (const QString &line : lines)
        EXPECT_TRUE(shape.match(line).hasMatch()) << line.toStdString();

    // Deterministic: the same run prints the same lines.
    EXPECT_EQ(cli({"--sim-daq", "sample", "--count", "40", "--rate", "0"}).out, r.out);
}

TEST_F(CliDaqTest, SampleHonoursTheSimulatedPreferenceAndReportsAMissingLibrary)
{
    configureInputs();
    auto r = cli({"sample", "--count", "2", "--rate", "0"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count("Cannot load library ljacklm"), 2) << r.err.data();

    {
        QSettings s = settings();
        s.setValue("LabJack/Simulated", "True");
    }
    r = cli({"sample", "--count", "3", "--rate", "0"});
    EXPECT_EQ(r.exitCode, 0) << r.err.data();
    EXPECT_EQ(r.out.count('\n'), 3);
}

TEST_F(CliDaqTest, LogWritesTheApplicationsDatalogAndStopsAtAFullDisk)
{
    configureInputs();
    const QString out = dir.filePath("out.csv");
    testenv::writeFile(out, "an older log\n");
    auto r = cli({"--sim-daq", "log", out, "--count", "5", "--rate", "0"});
    EXPECT_EQ(r.exitCode, 0) << r.err.data();
    const QStringList lines = QString::fromUtf8(testenv::readFile(out)).split("\r\n");
    ASSERT_EQ(lines.size(), 7) << "header, five samples, nothing after the last line end";
    EXPECT_EQ(lines[0], "DATE/TIME,RPM,TP,Timing Mark,Low Gear Enrichment,High Gear Enrichment,Injector Pulsewidth,"
                        "Injector Duty,MAS,EGT,Launch");
    EXPECT_TRUE(lines[6].isEmpty());
    // The same ticks as sample prints, in the logger's line format.
    const QStringList sampled =
        QString::fromUtf8(cli({"--sim-daq", "sample", "--count", "5", "--rate", "0"}).out).split('\n');
    const QRegularExpression shape(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}(,[-0-9.e+]+){10}$)");
    for (int i = 1; i <= 5; ++i) {
        EXPECT_TRUE(shape.match(lines[i]).hasMatch()) << lines[i].toStdString();
        EXPECT_EQ("RPM=" + lines[i].section(',', 1, 1) + " TP=" + lines[i].section(',', 2, 2),
                  sampled[i - 1].section(' ', 0, 1));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.csv"}) << "nothing left beside it";
    EXPECT_EQ(cli({"--sim-daq", "log", dir.path()}).exitCode, 1) << "a folder is no log file";
    EXPECT_EQ(cli({"--sim-daq", "sample", "--count", "0"}).exitCode, 2);
    EXPECT_EQ(cli({"--sim-daq", "sample", "--tune", dir.filePath("missing.vnt"), "--count", "1"}).exitCode, 1);

    SmallDisk disk(32);
    if (!disk.mounted())
        GTEST_SKIP() << "the disk-full case: " << disk.why().toStdString();
    r = cli({"--sim-daq", "log", disk.filePath("full.csv"), "--count", "100000", "--rate", "0"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("could not be written")) << r.err.data();
    EXPECT_LT(r.err.count('\n'), 3) << "one message, not one per tick";
    const QByteArray kept = testenv::readFile(disk.filePath("full.csv"));
    ASSERT_TRUE(kept.endsWith("\r\n"));
    const QList<QByteArray> keptLines = kept.split('\n');
    EXPECT_GT(keptLines.size(), 10);
    for (qsizetype i = 0; i + 1 < keptLines.size(); ++i)
        EXPECT_EQ(keptLines[i].count(','), 10) << keptLines[i].toStdString();
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files), QStringList{"full.csv"});
}

} // namespace
