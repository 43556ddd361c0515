#include "model/ProjectFile.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>

namespace {

// A tune in which every field holds a value that tells where it came from.
Tune distinctiveTune()
{
    Tune t;
    int seed = 1;
    for (const auto &e : MapCatalogue()) {
        CVMapInfo &m = t.map(e.key);
        for (int i = 0; i < m.EntryCount(); ++i)
            m.SetMapValue(i, (seed * 31 + i) & 0xFF);
        ++seed;
    }
    CVGeneralInfo &g = t.general();
    g.SetRevLimiter(0x8C);
    g.SetSpeedLimiter(0x5A);
    g.SetInjectorK(411);
    g.SetInjectorBlast(0x16);
    g.SetInjectorVoid(0x1E);
    g.SetVTCRelease(0x64);
    for (int i = 0; i < 64; ++i) {
        g.SetTTPMin(i, 0x10 + i); // refused beyond each table's end
        g.SetTTPMax(i, 0x20 + i);
        g.SetTPLimit(i, 0x30 + i);
        g.SetAccelEnrich(i, 0x40 + i);
        g.SetIgnitionDuty(i, 0x50 + i);
        g.SetVQ(i, 0x0123 + i * 0x101);
    }
    g.SetVersion("VNT01");
    return t;
}

class ProjectFileTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

TEST_F(ProjectFileTest, LayoutByteByByte)
{
    const QString file = path("tune.vnt");
    ASSERT_TRUE(WriteProjectFile(file, distinctiveTune()));
    const QByteArray b = testenv::readFile(file);
    ASSERT_EQ(b.size(), 1837);
    auto at = [&](int offset) { return static_cast<unsigned char>(b[offset]); };

    EXPECT_EQ(at(0), 0x31);
    // Map order in the file: HOFM, LOFM, HOHGFM, LOHGFM, FUELRPM, FUELTP, LOTM, HOTM, TIMINGRPM, TIMINGTP.
    const Tune t = distinctiveTune();
    const std::pair<int, MapKey> maps[] = {
        {1, MapKey::HOFM}, {257, MapKey::LOFM}, {513, MapKey::HOHGFM}, {769, MapKey::LOHGFM},
        {1025, MapKey::FUELRPM}, {1041, MapKey::FUELTP}, {1057, MapKey::LOTM}, {1313, MapKey::HOTM},
        {1569, MapKey::TIMINGRPM}, {1585, MapKey::TIMINGTP},
    };
    for (auto [offset, key] : maps)
        EXPECT_EQ(b.mid(offset, t.map(key).EntryCount()), t.map(key).Bytes()) << offset;

    EXPECT_EQ(at(1601), 0x8C);                 // RevLimiter
    EXPECT_EQ(at(1602), 0x5A);                 // SpeedLimiter
    EXPECT_EQ(at(1603), 0x01);                 // K = 411 = 0x019B
    EXPECT_EQ(at(1604), 0x9B);
    // InjectorBlast, InjectorVoid, VTCRelease, then the first entry of
    // TTPMin, TTPMax, TPLimit, AccelEnrich, IgnitionDuty, and its last.
    const std::pair<int, int> fields[] = {{1605, 0x16}, {1606, 0x1E}, {1607, 0x64}, {1608, 0x10}, {1624, 0x20},
                                          {1640, 0x30}, {1656, 0x40}, {1672, 0x50}, {1703, 0x50 + 31}};
    for (auto [offset, value] : fields)
        EXPECT_EQ(at(offset), value) << offset;
    EXPECT_EQ(b.mid(1704, 5), QByteArray("VNT01"));
    EXPECT_EQ(at(1709), 0x01);                 // VQ 0 = 0x0123
    EXPECT_EQ(at(1710), 0x23);
    const int last = 0x0123 + 63 * 0x101;
    EXPECT_EQ(at(1835), (last >> 8) & 0xFF);
    EXPECT_EQ(at(1836), last & 0xFF);

    Tune shortVersion;
    shortVersion.general().SetVersion("AB");
    EXPECT_EQ(EncodeProject(shortVersion).mid(1704, 5), QByteArray("AB   ")) << "padded with blanks";
}

TEST_F(ProjectFileTest, ReadWriteRoundTripAndAnyFormatByte)
{
    const QString file = path("tune.vnt");
    ASSERT_TRUE(WriteProjectFile(file, distinctiveTune()));
    QByteArray b = testenv::readFile(file);
    b[0] = 'Z';
    ASSERT_TRUE(testenv::writeFile(file, b));

    Tune loaded;
    ASSERT_TRUE(ReadProjectFile(file, loaded));
    EXPECT_TRUE(loaded.sameContents(distinctiveTune()));

    // Saving what was loaded gives back bytes 1..1836 unchanged, byte 0 = 0x31.
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
        {"sound.vnt", project, {}},
        {"longer.vnt", project + QByteArray(163, 'x'), {}},
        {"empty.vnt", QByteArray(), {"(0 bytes)", "empty"}},
        {"cut.vnt", project.left(1605), {"(1605 bytes)", "shorter than the 1837 bytes", "read as 0"}},
        {"log.vnt", csv, {QString("(%1 bytes)").arg(csv.size()), "first byte is 0x54 where a project file has 0x31"}},
        {"bit.vnt", csv.left(30), {"(30 bytes)", "shorter", "0x54"}},
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
    EXPECT_EQ(cut.general().InjectorK(), 411);
    EXPECT_EQ(cut.general().InjectorBlast(), 0);
    EXPECT_EQ(cut.general().VQ(0), 0);
    EXPECT_EQ(cut.general().Version(), QString(5, QChar(0)));
}

TEST_F(ProjectFileTest, OpenReplacesTheTuneOnlyWhenReadAndConfirmed)
{
    const QString odd = path("odd.vnt");
    ASSERT_TRUE(testenv::writeFile(odd, "Time,RPM\n0,900\n"));
    const QString sound = path("sound.vnt");
    ASSERT_TRUE(WriteProjectFile(sound, Tune()));
    ProgramState state;
    state.tune = distinctiveTune();
    state.Modified = true;

    OpenProjectOutcome outcome = OpenProject(path("nowhere.vnt"), state);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.message.startsWith("Error when attempting to load map: ")) << outcome.message.toStdString();
    EXPECT_TRUE(state.tune.sameContents(distinctiveTune()));

    QString asked;
    auto answer = [&](bool yes) {
        return [&asked, yes](const QString &warning) {
            asked = warning;
            return yes;
        };
    };
    outcome = OpenProject(odd, state, answer(false));
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(asked.contains(odd));
    EXPECT_TRUE(state.tune.sameContents(distinctiveTune()));
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.TuneOriginWarning.isEmpty());

    outcome = OpenProject(odd, state, answer(true));
    ASSERT_TRUE(outcome.ok);
    EXPECT_FALSE(state.Modified);
    EXPECT_EQ(state.tune.map(MapKey::HOFM).MapValue(0), 'i'); // the byte after "T"
    EXPECT_EQ(state.TuneOriginWarning, asked) << "kept for the questions before a write to the box";

    asked.clear();
    state.Modified = true;
    outcome = OpenProject(sound, state, answer(false));
    ASSERT_TRUE(outcome.ok);
    EXPECT_FALSE(state.Modified);
    EXPECT_EQ(outcome.title, "Vantrelle - " + sound);
    EXPECT_TRUE(asked.isEmpty()) << "a sound file loads unasked";
    EXPECT_TRUE(state.TuneOriginWarning.isEmpty());
}

TEST_F(ProjectFileTest, LongerFileKeepsItsTail)
{
    const QString file = path("long.vnt");
    QByteArray old(2000, 'x');
    ASSERT_TRUE(testenv::writeFile(file, old));
    ASSERT_TRUE(WriteProjectFile(file, distinctiveTune()));
    const QByteArray b = testenv::readFile(file);
    ASSERT_EQ(b.size(), 2000);
    EXPECT_EQ(b.left(1837), EncodeProject(distinctiveTune()));
    EXPECT_EQ(b.mid(1837), old.mid(1837));
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

    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_EQ(testenv::readFile(file), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.vnt"}) << "no temporary file is left behind";
}
