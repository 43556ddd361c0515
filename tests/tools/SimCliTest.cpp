// vantrelle-cli on the simulated unit: a log that does not wait holds the
// lines and the simulated clock's times of one that does; a seed gives the
// same drive every time; both programs refuse engine options they cannot
// take; the fuel correction runs headless on such a log.

#include "support/TestEnv.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

testenv::ProcessResult cli(const QStringList &args)
{
    return testenv::run(testenv::binary("vantrelle-cli"), args);
}

// A log's times, and its lines without them (the header first).
struct Log
{
    QList<QDateTime> times;
    QStringList rest;
};

Log readLog(const QString &path)
{
    Log log;
    for (const QString &line : QString::fromUtf8(testenv::readFile(path)).split("\r\n", Qt::SkipEmptyParts)) {
        const QString time = line.section(',', 0, 0);
        if (!log.rest.isEmpty())
            log.times.push_back(QDateTime::fromString(time, "yyyy-MM-dd HH:mm:ss.zzz"));
        log.rest.push_back(line.section(',', 1));
    }
    return log;
}

} // namespace

TEST(SimCliTest, ALogThatDoesNotWaitHasTheLinesAndTheSimulatedTimesOfOneThatDoes)
{
    QTemporaryDir dir;
    const QStringList engine{"--sim-daq", "--sim-fuel-error", "8", "--sim-seed", "9", "--sim-o2-delay", "120", "log"};
    const QStringList ticks{"--count", "12", "--rate", "50"};
    // A unit as slow as a real one only takes longer.
    ASSERT_EQ(cli(engine + QStringList{dir.filePath("waited.csv"), "--sim-daq-latency", "5"} + ticks).exitCode, 0);
    ASSERT_EQ(cli(engine + QStringList{dir.filePath("fast.csv"), "--no-wait"} + ticks).exitCode, 0);
    const Log waited = readLog(dir.filePath("waited.csv"));
    const Log fast = readLog(dir.filePath("fast.csv"));
    ASSERT_EQ(fast.rest.size(), 13);
    EXPECT_EQ(fast.rest, waited.rest);
    EXPECT_TRUE(fast.rest[0].contains(",Battery,AFR,")) << "the bench wiring, wideband included";
    for (const Log *log : {&waited, &fast})
        for (qsizetype i = 1; i < log->times.size(); ++i)
            EXPECT_EQ(log->times[i - 1].msecsTo(log->times[i]), 50) << i;

    // Ten minutes of driving: the times are the simulated clock's.
    ASSERT_EQ(cli({"--sim-daq", "log", dir.filePath("long.csv"), "--count", "6000", "--no-wait"}).exitCode, 0);
    const Log drive = readLog(dir.filePath("long.csv"));
    ASSERT_EQ(drive.times.size(), 6000);
    EXPECT_EQ(drive.times.first().msecsTo(drive.times.last()), 5999 * 100);
}

// SIGINT or SIGTERM stops a log after its line: OUT holds the whole lines,
// the count is said, nothing is left beside it; sample stops the same way.
TEST(SimCliTest, ASignalStopsLogAndSampleWithTheirWholeLines)
{
    for (const bool log : {true, false}) {
        for (const int signal : {SIGINT, SIGTERM}) {
            SCOPED_TRACE((log ? "log " : "sample ") + std::to_string(signal));
            QTemporaryDir dir;
            const QString out = dir.filePath("out.csv");
            QProcess p;
            p.start(testenv::binary("vantrelle-cli"), QStringList{"--sim-daq", "--count", "100000", "--rate", "20"}
                                                         + (log ? QStringList{"log", out} : QStringList{"sample"}));
            ASSERT_TRUE(p.waitForStarted());
            QByteArray printed;
            const auto running = [&] {
                printed += p.readAllStandardOutput();
                const QStringList beside = QDir(dir.path()).entryList({"vnt*.csv"}, QDir::Files);
                return (log ? testenv::readFile(dir.filePath(beside.value(0))) : printed).count('\n') >= 4;
            };
            for (const QDeadlineTimer deadline(60000); !running() && !deadline.hasExpired();)
                p.waitForReadyRead(20);
            ASSERT_TRUE(running());
            ASSERT_EQ(::kill(static_cast<pid_t>(p.processId()), signal), 0);
            ASSERT_TRUE(p.waitForFinished(60000));
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p.exitCode(), 128 + signal);
            const QByteArray err = p.readAllStandardError();
            printed += p.readAllStandardOutput();
            const QByteArray lines = log ? testenv::readFile(out) : printed;
            EXPECT_TRUE(lines.endsWith('\n'));
            const qsizetype count = lines.count('\n') - (log ? 1 : 0);
            const QString said = log ? QString("stopped by %1; the file holds the %2 samples")
                                     : QString("sample: stopped by %1 after %2 lines");
            EXPECT_TRUE(QString::fromUtf8(err).contains(said.arg(signal == SIGINT ? "SIGINT" : "SIGTERM").arg(count)))
                << err.toStdString();
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), log ? QStringList{"out.csv"} : QStringList{});
        }
    }
}

// A file that is no project would trace in an empty tune: refused unless --force.
TEST(SimCliTest, SampleAndLogRefuseATuneThatIsNoProjectUnlessForced)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty.csv"), out = dir.filePath("out.csv");
    ASSERT_TRUE(testenv::writeFile(empty, ""));
    for (const QStringList &command : {QStringList{"sample"}, QStringList{"log", out}}) {
        SCOPED_TRACE(command[0].toStdString());
        const QStringList args = QStringList{"--sim-daq", "--no-wait", "--count", "2", "--tune", empty} + command;
        const testenv::ProcessResult refused = cli(args);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.contains("give --force") && refused.out.isEmpty()) << refused.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
        const testenv::ProcessResult forced = cli(QStringList{"--force"} + args);
        EXPECT_EQ(forced.exitCode, 0);
        EXPECT_TRUE(forced.err.contains("warning:")) << forced.err.toStdString();
        QFile::remove(out);
    }
}

// A log never replaces its own tune (by any name) nor a read-only file.
TEST(SimCliTest, ALogNeverReplacesItsTuneNorAReadOnlyFile)
{
    QTemporaryDir dir;
    const QString tune = dir.filePath("t.vnt"), ro = dir.filePath("ro.csv");
    ASSERT_EQ(cli({"stock", "105", dir.filePath("s.bin")}).exitCode, 0);
    ASSERT_EQ(cli({"extract", dir.filePath("s.bin"), tune}).exitCode, 0);
    ASSERT_TRUE(QFile::link(tune, dir.filePath("link.vnt")));
    ASSERT_TRUE(testenv::writeFile(ro, "kept"));
    ASSERT_TRUE(QFile::setPermissions(ro, QFileDevice::ReadOwner));
    const QByteArray before = testenv::readFile(tune);
    for (const QStringList &args : {QStringList{"log", tune, "--tune", tune}, QStringList{"log", dir.filePath("link.vnt"), tune},
                                    QStringList{"log", ro}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const testenv::ProcessResult r = cli(QStringList{"--sim-daq", "--no-wait", "--count", "3"} + args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains("same file") || r.err.contains("not writable")) << r.err.toStdString();
    }
    EXPECT_EQ(testenv::readFile(tune), before);
    EXPECT_EQ(testenv::readFile(ro), "kept");
}

TEST(SimCliTest, ASeedGivesTheSameDriveEveryTime)
{
    const auto run = [](const char *seed, const char *drive) {
        return cli({"--sim-daq", "--sim-fuel-error", "10", "--sim-seed", seed, "--sim-drive", drive, "sample",
                    "--count", "400", "--no-wait"})
            .out;
    };
    for (const char *drive : {"road", "dyno"}) {
        SCOPED_TRACE(drive);
        const QByteArray first = run("3", drive);
        EXPECT_EQ(first.count('\n'), 400);
        EXPECT_EQ(run("3", drive), first);
        EXPECT_NE(run("4", drive), first);
    }
}

TEST(SimCliTest, BadEngineOptionsAreRefusedByBothPrograms)
{
    const struct
    {
        QStringList args;
        const char *message;
    } cases[] = {
        {{"--sim-daq", "--sim-fuel-error", "-1"}, "--sim-fuel-error takes a percentage from 0 to 50, not '-1'"},
        {{"--sim-daq", "--sim-fuel-error=50.5"}, "--sim-fuel-error takes a percentage from 0 to 50, not '50.5'"},
        {{"--sim-daq", "--sim-seed", "4294967296"}, "--sim-seed takes a whole number from 0 to 4294967295"},
        {{"--sim-daq", "--sim-seed=x"}, "--sim-seed takes a whole number from 0 to 4294967295, not 'x'"},
        {{"--sim-daq", "--sim-o2-delay", "5001"}, "--sim-o2-delay takes milliseconds from 0 to 5000, not '5001'"},
        {{"--sim-daq", "--sim-drive", "track"}, "--sim-drive takes road or dyno, not 'track'"},
        {{"--sim-daq", "--sim-daq-latency=1001"}, "--sim-daq-latency takes milliseconds from 0 to 1000, not '1001'"},
        {{"--sim-daq", "--sim-o2-delay"}, "--sim-o2-delay needs a value"},
        {{"--sim-seed", "2"}, "--sim-seed needs --sim-daq"},
    };
    for (const char *program : {"vantrelle-cli", "vantrelle"}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(program + (' ' + c.args.join(' ')).toStdString());
            const QStringList args = (program == std::string("vantrelle") ? QStringList() : QStringList{"sample"}) + c.args;
            const testenv::ProcessResult r = testenv::run(testenv::binary(program), args);
            EXPECT_EQ(r.exitCode, 2);
            EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        }
    }
    EXPECT_EQ(testenv::run(testenv::binary("vantrelle"), {"--sim-daq", "--sim-drive=dyno", "--sim-o2-delay", "250",
                                                         "--sim-fuel-error", "4.5", "--sim-seed", "0", "--version"})
                  .exitCode,
              0);
    const testenv::ProcessResult real = cli({"sample", "--no-wait"});
    EXPECT_TRUE(real.exitCode == 2 && real.err.contains("--no-wait needs the simulated unit")) << real.err.toStdString();
}

// correct: one line per changed cell, the same cells the tunes differ in,
// the report on stderr; an output that is an input, or a value out of its
// range, is refused with nothing written.
TEST(SimCliTest, CorrectWritesTheCorrectedTuneAndRefusesWhatItCannotTake)
{
    QTemporaryDir dir;
    const QString image = dir.filePath("stock.bin"), tune = dir.filePath("t0.vnt"), log = dir.filePath("road.csv");
    ASSERT_EQ(cli({"stock", "105", image}).exitCode, 0);
    ASSERT_EQ(cli({"extract", image, tune}).exitCode, 0);
    ASSERT_EQ(cli({"--sim-daq", "--sim-fuel-error", "12", "--sim-o2-delay", "600", "--tune", tune, "log", log,
                   "--count", "5000", "--no-wait"})
                  .exitCode,
              0);
    const QStringList correct{"correct", log, "--tune", tune, "--delay", "auto", "--map", "HOHGFM"};
    const testenv::ProcessResult r = cli(correct + QStringList{"--out", dir.filePath("t1.vnt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("(estimated from the log)") && r.err.contains("warming up")) << r.err.toStdString();
    const int changed = int(r.out.count('\n'));
    EXPECT_GT(changed, 2);
    const testenv::ProcessResult diff = cli({"diff", tune, dir.filePath("t1.vnt")});
    EXPECT_EQ(diff.exitCode, 1);
    EXPECT_EQ(int(diff.out.count('\n')), changed) << diff.out.toStdString();

    const QByteArray logBefore = testenv::readFile(log);
    const struct
    {
        QStringList args;
        int exitCode;
    } refused[] = {
        {{"--out", log}, 1},
        {{"--out", tune}, 1},
        {{"--out", dir.filePath("t2.vnt"), "--cap", "60"}, 2},
        {{"--out", dir.filePath("t2.vnt"), "--delay", "-5"}, 2},
        {{"--out", dir.filePath("t2.vnt"), "--map", "HOTM"}, 2},
        {{"--out", dir.filePath("t2.vnt"), "--target", "30"}, 2},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_EQ(cli(correct + c.args).exitCode, c.exitCode);
    }
    EXPECT_EQ(testenv::readFile(log), logBefore);
    EXPECT_FALSE(QFile::exists(dir.filePath("t2.vnt")));
}
