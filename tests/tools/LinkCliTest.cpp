// vantrelle-cli's link commands end to end: a separate process talking to the
// simulated box over a pseudo-terminal.

#include "link/LinkMessages.h"
#include "model/ImageFile.h"
#include "model/ProjectFile.h"
#include "model/StockPrograms.h"
#include "support/BoxSim.h"
#include "support/ExchangeTestSupport.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LinkCliTest : public ::testing::Test
{
protected:
    testenv::ProcessResult cli(const BoxSim &box, const QStringList &args)
    {
        return testenv::run(testenv::binary("vantrelle-cli"), QStringList{"--port", box.device(), "--fast-handshake"} + args,
                            120000);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    static QByteArray stock() { return LoadStockImage(105).image; }
    static std::string err(const testenv::ProcessResult &r) { return r.err.toStdString(); }

    QTemporaryDir dir;
};

TEST_F(LinkCliTest, ReadAndWriteTheTuneAndWriteInRealTime)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    const QString read = path("read.vnt");
    auto r = cli(box, {"read-tune", read});
    ASSERT_EQ(r.exitCode, 0) << err(r);
    Tune got, expected;
    ASSERT_TRUE(ReadProjectFile(read, got).ok);
    TuneFromImage(stock(), expected);
    EXPECT_TRUE(got.sameContents(expected));

    const QString write = path("write.vnt");
    Tune tune;
    TuneFromImage(PatternImage(21), tune);
    ASSERT_TRUE(WriteProjectFile(write, tune).ok);
    r = cli(box, {"write-tune", write});
    ASSERT_EQ(r.exitCode, 0) << err(r);
    for (const QStringList &args :
         {QStringList{"rt-write", "1", "5", "0x80"}, QStringList{"rt-write", "23", "2", "0xBEEF"}}) {
        r = cli(box, args);
        EXPECT_EQ(r.exitCode, 0) << err(r);
    }
    // Every run starts with the version request; 22 reads, 22 writes, two
    // real-time writes (their frames byte for byte are the link's tests').
    ASSERT_EQ(box.waitForLogLines(50).size(), 50);
    ASSERT_EQ(box.stop(), 0);
    tune.map(MapKey::HOFM).SetMapValue(5, 0x80);
    tune.general().SetVQ(2, 0xBEEF);
    EXPECT_EQ(box.savedImage(), PatchImage(stock(), tune));
}

TEST_F(LinkCliTest, AFailedReadPrintsTheMessageAndLeavesNoOutputBehind)
{
    BoxSim box({"--bad-read-checksum", "5"});
    ASSERT_TRUE(box.started());
    const QString out = path("never.vnt");
    const auto r = cli(box, {"read-tune", out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(LinkMessages::ChecksumError)) << err(r);
    EXPECT_FALSE(QFile::exists(out));
}

// A box that trickles its replies after the version answer (a byte every
// 20 ms) never lets the line fall idle: each transfer still ends, at its first
// long reply's deadline,
// with the time-out message, and the file it would have written is as it was.
TEST_F(LinkCliTest, ATricklingBoxEndsTheTransferWithTheTimeOut)
{
    for (const char *command : {"read-tune", "read-rom"}) {
        BoxSim box({"--trickle", "20", "--trickle-after", "1"});
        ASSERT_TRUE(box.started());
        const QString out = path(QStringLiteral("%1.out").arg(command));
        QFile file(out);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("earlier") == 7);
        file.close();
        const auto r = cli(box, {command, out});
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_TRUE(r.err.contains(LinkMessages::DataTimeout)) << err(r);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "earlier") << command;
        file.close();
    }
}

TEST_F(LinkCliTest, NothingIsSentForAnUnusualProjectUnlessForcedNorReadIntoAPipe)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    const QString odd = path("odd.vnt");
    ASSERT_TRUE(testenv::writeFile(odd, "Time,RPM\n0,900\n"));
    ASSERT_TRUE(testenv::makeFifo(path("pipe")));
    // A file of 32 KB or more is no image for that alone (a log, say).
    ASSERT_TRUE(testenv::writeFile(path("big.csv"), QByteArray(40000, ',')));
    for (const QStringList &args : {QStringList{"write-tune", odd}, QStringList{"read-rom", path("pipe")},
                                    QStringList{"read-tune", path("pipe")}, QStringList{"write-rom", path("big.csv")}}) {
        const auto r = cli(box, args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(args[1])) << err(r);
    }
    EXPECT_TRUE(box.logLines().isEmpty()) << "refused before the handshake";
    EXPECT_TRUE(testenv::isFifo(path("pipe")));

    const auto forced = cli(box, {"--force", "write-tune", odd});
    ASSERT_EQ(forced.exitCode, 0) << err(forced);
    EXPECT_TRUE(forced.err.contains("warning:") && QString::fromUtf8(forced.err).contains(odd)) << err(forced);
    EXPECT_EQ(box.waitForLogLines(23).size(), 23) << "the version request and the 22 items";
    const auto longer = cli(box, {"--force", "write-rom", path("big.csv")});
    ASSERT_EQ(longer.exitCode, 0) << err(longer);
    ASSERT_EQ(box.stop(), 0);
    EXPECT_EQ(box.savedImage(), QByteArray(32768, ',')) << "its first 32768 bytes, forced";
}

TEST_F(LinkCliTest, PortProblemsAndBadCommandLines)
{
    const QString cliPath = testenv::binary("vantrelle-cli");
    auto r = testenv::run(cliPath, {"--port", path("no-such-device"), "--fast-handshake", "connect"});
    EXPECT_TRUE(r.exitCode == 1 && !r.err.trimmed().isEmpty()) << err(r);
    for (const QStringList &args : {QStringList{"connect"}, QStringList{"--no-such-option", "connect"},
                                    QStringList{"--port=/dev/null", "rt-write", "1", "256", "0"}})
        EXPECT_EQ(testenv::run(cliPath, args).exitCode, 2) << args.join(' ').toStdString();
}

// Output that cannot be written fails the run, said once, whatever prints it.
TEST_F(LinkCliTest, EveryCommandFailsWhenItsOutputCannotBeWritten)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    const QString tune = path("t.vnt"), other = path("104.bin");
    ASSERT_EQ(testenv::run(testenv::binary("vantrelle-cli"), {"stock", "105", path("105.bin")}).exitCode, 0);
    ASSERT_EQ(testenv::run(testenv::binary("vantrelle-cli"), {"extract", path("105.bin"), tune}).exitCode, 0);
    ASSERT_EQ(testenv::run(testenv::binary("vantrelle-cli"), {"stock", "104", other}).exitCode, 0);
    const struct
    {
        const char *program;
        QStringList args;
        int exitCode;
    } cases[] = {
        {"vantrelle-cli", {"--port", box.device(), "--fast-handshake", "connect"}, 1},
        {"vantrelle-cli", {"show", tune}, 1},
        {"vantrelle-cli", {"textconv", tune}, 1},
        {"vantrelle-cli", {"diff", tune, other}, 2},
        {"vantrelle-cli", {"--sim-daq", "--no-wait", "--count", "3", "sample"}, 1},
        {"vantrelle-cli", {"eval", "V*2", "1"}, 1},
        {"vantrelle-cli", {"--help"}, 1},
        {"vantrelle-cli", {"--version"}, 1},
        {"vantrelle-boxsim", {"--help"}, 1},
        {"vantrelle-boxsim", {}, 1},
        {"vantrelle", {"--version"}, 1},
        {"vantrelle", {"--help"}, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.program + (' ' + c.args.join(' ')).toStdString());
        const testenv::ProcessResult r = testenv::runInto("/dev/full", testenv::binary(c.program), c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.err.count("standard output: No space left on device"), 1) << err(r);
    }
}

// Both tools name themselves and the project's version, and their help lists
// every option once (two texts for one option contradict each other).
TEST(ToolsCommandLineTest, VersionAndHelpWithEachOptionOnce)
{
    const QString version = QStringLiteral(" %1.%2.%3\n")
                                .arg(VANTRELLE_VERSION_MAJOR).arg(VANTRELLE_VERSION_MINOR).arg(VANTRELLE_VERSION_PATCH);
    for (const QString &tool : {QStringLiteral("vantrelle-cli"), QStringLiteral("vantrelle-boxsim")}) {
        const auto shown = testenv::run(testenv::binary(tool), {"--version"});
        EXPECT_EQ(shown.exitCode, 0);
        EXPECT_EQ(QString::fromUtf8(shown.out), tool + version);
        QStringList options;
        for (const QByteArray &line : testenv::run(testenv::binary(tool), {"--help"}).out.split('\n'))
            if (line.startsWith("  --"))
                options << QString::fromUtf8(line).section(QLatin1Char(' '), 2, 2).remove(QLatin1Char(','));
        EXPECT_TRUE(options.contains("--version") && options.contains("--help")) << tool.toStdString();
        EXPECT_EQ(options.removeDuplicates(), 0) << options.join(' ').toStdString();
    }
}

} // namespace
