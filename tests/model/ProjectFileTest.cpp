#include "model/ProjectFile.h"
#include "model/TuneItems.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>

namespace {

// A tune in which every byte tells where it came from.
Tune distinctiveTune()
{
    Tune t;
    for (const TuneItemInfo &item : TuneItems()) {
        QByteArray bytes(item.size, '\0');
        for (int i = 0; i < item.size; ++i)
            bytes[i] = static_cast<char>((Number(item.item) * 31 + i * 7 + 1) & 0xFF);
        EXPECT_TRUE(StoreItemBytes(t, item.item, item.item == TuneItem::Version ? QByteArray("VNT01") : bytes))
            << item.name;
    }
    return t;
}

class ProjectFileTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

// The format byte, the ten maps, the one-byte values with K between them,
// the tables, the version and the VQ table: two-byte values big-endian.
TEST_F(ProjectFileTest, LayoutByteByByte)
{
    const Tune t = distinctiveTune();
    const QString file = path("tune.vnt");
    ASSERT_TRUE(WriteProjectFile(file, t));
    QByteArray expected(1, '\x31');
    for (int item : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 21, 22, 17, 23})
        expected += ItemBytes(t, *ItemFromNumber(item));
    ASSERT_EQ(expected.size(), 1837);
    EXPECT_EQ(testenv::readFile(file).toHex().toStdString(), expected.toHex().toStdString());

    Tune shortVersion;
    shortVersion.general().SetVersion("AB");
    EXPECT_EQ(EncodeProject(shortVersion).mid(1704, 5), QByteArray("AB   ")) << "padded with blanks";
}

// Bytes past the layout are not ours: a save over a longer file keeps them.
TEST_F(ProjectFileTest, ReadWriteRoundTripAnyFormatByteAndTheTailKept)
{
    const QString file = path("tune.vnt");
    QByteArray b = EncodeProject(distinctiveTune()) + QByteArray(163, 'x');
    b[0] = 'Z';
    ASSERT_TRUE(testenv::writeFile(file, b));

    Tune loaded;
    ASSERT_TRUE(ReadProjectFile(file, loaded));
    EXPECT_TRUE(loaded.sameContents(distinctiveTune()));

    // Saving what was loaded gives back bytes 1.. unchanged, byte 0 = 0x31.
    ASSERT_TRUE(WriteProjectFile(file, loaded));
    const QByteArray again = testenv::readFile(file);
    EXPECT_EQ(again.mid(1), b.mid(1));
    EXPECT_EQ(again[0], '1');
}

TEST_F(ProjectFileTest, UnusualFilesAreToldWithTheirNameSizeAndOddity)
{
    const QByteArray project = EncodeProject(distinctiveTune());
    QByteArray csv = "Time,RPM,TP\n";
    while (csv.size() < 2000)
        csv += "0.025,905,12\n";
    const struct
    {
        const char *name;
        QByteArray bytes;
        QStringList told; // empty: a sound file, no warning
    } cases[] = {
        {"longer.vnt", project + QByteArray(163, 'x'), {}},
        {"empty.vnt", QByteArray(), {"(0 bytes)", "empty"}},
        {"cut.vnt", project.left(1605), {"(1605 bytes)", "shorter than the 1837 bytes", "read as 0"}},
        {"log.vnt", csv, {QString("(%1 bytes)").arg(csv.size()), "first byte is 0x54 where a project file has 0x31"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = path(c.name);
        ASSERT_TRUE(testenv::writeFile(file, c.bytes));
        Tune tune;
        QString warning = "stale";
        ASSERT_TRUE(ReadProjectFile(file, tune, &warning));
        if (c.told.isEmpty()) {
            EXPECT_TRUE(warning.isEmpty()) << warning.toStdString();
            continue;
        }
        EXPECT_TRUE(warning.contains(file)) << warning.toStdString();
        for (const QString &part : c.told)
            EXPECT_TRUE(warning.contains(part)) << part.toStdString() << " in " << warning.toStdString();
    }
    // A cut file keeps what it holds; the fields after the cut read as 0.
    Tune cut = distinctiveTune();
    ASSERT_TRUE(ReadProjectFile(path("cut.vnt"), cut));
    // K is the last field before the cut.
    EXPECT_EQ(ItemBytes(cut, TuneItem::InjectorK), ItemBytes(distinctiveTune(), TuneItem::InjectorK));
    EXPECT_EQ(std::tuple(cut.general().InjectorBlast(), cut.general().VQ(0), cut.general().Version()),
              std::tuple(0, 0, QString(5, QChar(0))));
}

TEST_F(ProjectFileTest, OpenReplacesTheTuneOnlyWhenReadAndConfirmed)
{
    const QString odd = path("odd.vnt");
    ASSERT_TRUE(testenv::writeFile(odd, "Time,RPM\n0,900\n"));
    const QString sound = path("sound.vnt");
    ASSERT_TRUE(WriteProjectFile(sound, Tune()));
    ProgramState state;
    state.tune = distinctiveTune();
    state.NoteEdit(QString(), true);

    OpenProjectOutcome outcome = OpenProject(path("nowhere.vnt"), state);
    EXPECT_TRUE(!outcome.ok && outcome.message.startsWith("Error when attempting to load map: "))
        << outcome.message.toStdString();
    EXPECT_TRUE(state.tune.sameContents(distinctiveTune()));

    QString asked;
    auto answer = [&](bool yes) {
        return [&asked, yes](const QString &warning) {
            asked = warning;
            return yes;
        };
    };
    outcome = OpenProject(odd, state, answer(false));
    EXPECT_TRUE(outcome.cancelled && !outcome.ok && asked.contains(odd));
    EXPECT_TRUE(state.tune.sameContents(distinctiveTune()));
    EXPECT_TRUE(state.Modified() && state.TuneOriginWarning().isEmpty());

    outcome = OpenProject(odd, state, answer(true));
    ASSERT_TRUE(outcome.ok);
    EXPECT_EQ(std::pair(state.Modified(), state.tune.map(MapKey::HOFM).MapValue(0)), std::pair(false, int('i')))
        << "the byte after \"T\"";
    EXPECT_EQ(state.TuneOriginWarning(), asked) << "kept for the questions before a write to the box";

    asked.clear();
    state.NoteEdit(QString(), true);
    outcome = OpenProject(sound, state, answer(false));
    ASSERT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.title, "Vantrelle - " + sound);
    EXPECT_TRUE(!state.Modified() && asked.isEmpty() && state.TuneOriginWarning().isEmpty())
        << "a sound file loads unasked";
}

// A save that fails part-way (here: the file-size limit stops the write after
// 1000 bytes, as a full disk would) leaves the existing project exactly as it
// was, tail included.
TEST_F(ProjectFileTest, FailedSaveLeavesTheOldFileIntact)
{
    const QString file = path("keep.vnt");
    QByteArray old = EncodeProject(Tune{}) + QByteArray(100, 't');
    ASSERT_TRUE(testenv::writeFile(file, old));

    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    const FileOutcome outcome = WriteProjectFile(file, distinctiveTune());

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(!outcome.ok && !outcome.error.isEmpty());
    EXPECT_EQ(testenv::readFile(file), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.vnt"}) << "no temporary file is left behind";
}
