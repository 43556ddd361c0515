// vantrelle-cli's link commands end to end: a separate process talking to the
// simulated box over a pseudo-terminal.

#include "link/LinkMessages.h"
#include "model/ImageFile.h"
#include "model/ProjectFile.h"
#include "model/StockPrograms.h"
#include "support/BoxSim.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LinkCliTest : public ::testing::Test
{
protected:
    testenv::ProcessResult cli(const BoxSim &box, QStringList args, bool fast = true)
    {
        QStringList all{"--port", box.device()};
        if (fast)
            all << "--fast-handshake";
        return testenv::run(testenv::binary("vantrelle-cli"), all + args, 120000);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    static QByteArray stock()
    {
        return LoadStockImage(105).image;
    }
    static QByteArray pattern(quint32 seed)
    {
        QByteArray image(32768, '\0');
        QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(image.data()), image.size() / 4);
        return image;
    }
    static std::string err(const testenv::ProcessResult &r) { return r.err.toStdString(); }

    QTemporaryDir dir;
};

TEST_F(LinkCliTest, ReadAndWriteTheTune)
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
    TuneFromImage(pattern(21), tune);
    ASSERT_TRUE(WriteProjectFile(write, tune).ok);
    r = cli(box, {"write-tune", write});
    ASSERT_EQ(r.exitCode, 0) << err(r);
    ASSERT_EQ(box.stop(), 0);
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

    const QString existing = path("existing.vnt");
    ASSERT_TRUE(testenv::writeFile(existing, "keep me"));
    EXPECT_EQ(cli(box, {"read-tune", existing}).exitCode, 0) << "the fifth read was the bad one";
    EXPECT_NE(testenv::readFile(existing), "keep me");
}

TEST_F(LinkCliTest, RomReadThatStopsEarlyLeavesTheFileAsItWas)
{
    const QString existing = path("existing.bin");
    ASSERT_TRUE(testenv::writeFile(existing, pattern(9)));
    for (const QString &out : {existing, path("fresh.bin")}) {
        SCOPED_TRACE(out.toStdString());
        // Answers the version request and three reads, then nothing.
        BoxSim box({"--silent-after", "4"});
        ASSERT_TRUE(box.started());
        const auto r = cli(box, {"read-rom", out});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(LinkMessages::DataTimeout)) << err(r);
        EXPECT_GE(box.waitForLogLines(5).size(), 5) << "three blocks arrived before the box fell silent";
    }
    EXPECT_EQ(testenv::readFile(existing), pattern(9));
    EXPECT_FALSE(QFile::exists(path("fresh.bin")));
}

TEST_F(LinkCliTest, NothingIsSentForAnUnusualProjectUnlessForcedNorReadIntoAPipe)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    const QString odd = path("odd.vnt");
    ASSERT_TRUE(testenv::writeFile(odd, "Time,RPM\n0,900\n"));
    ASSERT_TRUE(testenv::makeFifo(path("pipe")));
    for (const QStringList &args : {QStringList{"write-tune", odd}, QStringList{"read-rom", path("pipe")},
                                    QStringList{"read-tune", path("pipe")}}) {
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
}

TEST_F(LinkCliTest, PortProblemsAndBadCommandLines)
{
    const QString cliPath = testenv::binary("vantrelle-cli");
    auto r = testenv::run(cliPath, {"--port", path("no-such-device"), "--fast-handshake", "connect"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.trimmed().isEmpty());
    for (const QStringList &args : {QStringList{"connect"}, QStringList{"--no-such-option", "connect"},
                                    QStringList{"--port=/dev/null", "rt-write", "1", "256", "0"}})
        EXPECT_EQ(testenv::run(cliPath, args).exitCode, 2) << args.join(' ').toStdString();
}

} // namespace
