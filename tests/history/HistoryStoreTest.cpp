// The history on real files: snapshots that come back byte for byte, kept
// small as changes; notes and corrections that survive a reload; a torn
// line and a damaged object that cost only themselves.

#include "history/HistoryObjects.h"
#include "history/HistoryStore.h"
#include "model/ImageFile.h"
#include "model/ProjectFile.h"
#include "support/TestEnv.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(HistoryStore, SnapshotsComeBackWholeAndSmallAndDamageCostsOnlyItself)
{
    QTemporaryDir dir;
    HistoryStore store(dir.path());
    store.Load();
    Tune tune;
    std::vector<Tune> tunes;
    const QByteArray base = QByteArray(ImageFormat::Size, '\x5a');
    for (int i = 0; i < 40; ++i) {
        tune.map(MapKey::HOFM).SetMapValue(i, 100 + i);
        tune.general().SetRevLimiter(120 + i % 3);
        ASSERT_EQ(store.Add(HistoryKind::Save, "/t/a.vnt", tune, PatchImage(base, tune)), i + 1) << store.Error().toStdString();
        tunes.push_back(tune);
    }
    ASSERT_EQ(store.Add(HistoryKind::BoxRead, "the Vantrelle", tune, PatchImage(base, tune)), 41); // the same snapshot
    EXPECT_EQ(store.Entries()[39].hash, store.Entries()[40].hash);
    ASSERT_TRUE(store.SetNote(3, "before the pull\tafter\nline \\"));
    ASSERT_TRUE(store.AddCorrections({{QDateTime::currentDateTimeUtc().addSecs(-5), "date:x", "/l.csv", 10,
                                       QString(64, 'a'), MapKey::LOFM, 17, 99, 41}}));

    qint64 onDisk = 0;
    for (QDirIterator it(dir.filePath("objects"), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        onDisk += QFileInfo(it.next()).size();
    EXPECT_LT(onDisk, 40 * 1024) << "forty snapshots of 34 KB, stored as their changes";

    HistoryStore again(dir.path());
    again.Load();
    ASSERT_EQ(again.Entries().size(), 41u);
    EXPECT_EQ(again.Entry(3)->note, "before the pull\tafter\nline \\");
    ASSERT_EQ(again.Corrections().size(), 1u);
    EXPECT_EQ(std::tuple(again.Corrections()[0].map, again.Corrections()[0].entry, again.Corrections()[0].rows),
              std::tuple(MapKey::LOFM, 17, qint64(99)));
    for (int i = 0; i < 40; ++i) {
        const std::optional<HistoryStore::Snapshot> s = again.SnapshotOf(i + 1);
        ASSERT_TRUE(s) << i;
        EXPECT_EQ(EncodeProject(s->tune), EncodeProject(tunes[std::size_t(i)])) << i;
        EXPECT_EQ(s->image, PatchImage(base, tunes[std::size_t(i)])) << i;
    }
    // The next entry goes on from the last after a reload.
    EXPECT_EQ(again.Add(HistoryKind::Save, "/t/a.vnt", Tune(), base), 42);

    // A torn last line is skipped; a damaged object loses its own snapshot
    // and those stored as changes from it, never a wrong tune.
    QFile index(dir.filePath("index.tsv"));
    ASSERT_TRUE(index.open(QIODevice::Append));
    index.write("43\t2026-12-07T10:00:00.000Z\tsave\t/t/b");
    index.close();
    const QString damaged = HistoryObjects::PathOf(dir.filePath("objects"), again.Entry(42)->hash);
    QByteArray object = testenv::readFile(damaged);
    object[object.size() - 3] = char(object[object.size() - 3] ^ 1);
    ASSERT_TRUE(testenv::writeFile(damaged, object));
    HistoryStore third(dir.path());
    third.Load();
    EXPECT_EQ(std::pair(int(third.Entries().size()), third.SkippedLines()), std::pair(42, 1));
    EXPECT_FALSE(third.SnapshotOf(42));
    EXPECT_TRUE(third.SnapshotOf(40));
}

// Reading the history's files takes anything without crashing or believing
// damage: lines with a field too many or too few, unknown kinds, bad hashes.
TEST(HistoryIndex, LinesThatDoNotReadAreSkipped)
{
    const QByteArray hash(64, 'c');
    const QByteArray good = "1\t2026-12-07T10:00:00.000Z\tsave\t/a\t" + hash + "\t\n";
    const std::pair<QByteArray, int> cases[] = {
        {"VNTH 1\n" + good, 1},
        {"VNTH 1\n" + good + "2\t2026-12-07T10:00:00.000Z\tnot-a-kind\t/a\t" + hash + "\t\n", 1},
        {"VNTH 1\n" + good + "3\tyesterday\tsave\t/a\t" + hash + "\t\n", 1},
        {"VNTH 1\n" + good + "4\t2026-12-07T10:00:00.000Z\tsave\t/a\tABC\t\n", 1},
        {"VNTH 1\n" + good + "5\t2026-12-07T10:00:00.000Z\tsave\t/a\n", 1},
        {"VNTH 2\n" + good, 0},
    };
    for (const auto &[text, records] : cases)
        EXPECT_EQ(int(HistoryIndex::ParseIndex(text).records.size()), records) << text.toStdString();
}
