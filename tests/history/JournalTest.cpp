// The edit journal on real files: records that replay to the state written,
// a torn or damaged tail dropped at any byte, and the journals a run left
// behind found (and a live one never taken).

#include "history/JournalFormat.h"
#include "history/TuneJournal.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int Size = 64;

JournalFormat::State state(char fill, const QString &name, bool modified, bool notSent)
{
    return {QByteArray(Size, fill), name, modified, notSent, QDateTime::fromMSecsSinceEpoch(1000, Qt::UTC)};
}

} // namespace

// Each record takes the replay to the state written; a record cut at any
// byte, or with a flipped bit, ends the journal at the record before.
TEST(JournalFormat, RecordsReplayAndATornOrDamagedTailIsDropped)
{
    std::vector<JournalFormat::State> states{state('a', "/t/a.vnt", false, false), state('a', "/t/a.vnt", true, true)};
    states.push_back(states.back());
    states.back().project[10] = 'z'; // one byte
    states.back().project[40] = 'y'; // another, far from it: two runs
    states.push_back(state('b', QString::fromUtf8("/t/\u00e9 b.vnt"), false, true));
    QByteArray journal = JournalFormat::Header();
    std::vector<qsizetype> ends;
    for (std::size_t i = 0; i < states.size(); ++i) {
        journal += JournalFormat::Record(i ? &states[i - 1] : nullptr, states[i]);
        ends.push_back(journal.size());
        const JournalFormat::Replay r = JournalFormat::Read(journal, Size);
        ASSERT_TRUE(r.ok);
        EXPECT_TRUE(r.state.sameAs(states[i])) << i;
        EXPECT_EQ(r.records, int(i) + 1);
    }
    EXPECT_LT(ends[2] - ends[1], 40) << "a change costs its bytes, not the whole tune";
    for (qsizetype cut = ends[0]; cut < journal.size(); ++cut) {
        const JournalFormat::Replay r = JournalFormat::Read(journal.left(cut), Size);
        const int whole = int(std::upper_bound(ends.begin(), ends.end(), cut) - ends.begin());
        ASSERT_TRUE(r.state.sameAs(states[std::size_t(whole - 1)])) << "cut at " << cut;
        EXPECT_EQ(r.cutShort, cut != ends[std::size_t(whole - 1)]);
        QByteArray flipped = journal;
        flipped[cut] = char(flipped[cut] ^ 0x10);
        EXPECT_LE(JournalFormat::Read(flipped, Size).records, whole) << "a flipped bit at " << cut;
    }
    for (const QByteArray &bad : {QByteArray(), QByteArray("VNTJ\2\0\0\0"), JournalFormat::Header()})
        EXPECT_FALSE(JournalFormat::Read(bad, Size).ok);
}

// A run writes its journal and removes it at a normal end; a journal whose
// owner died is found with its last state, and one whose owner lives is not.
TEST(TuneJournal, ALeftJournalIsFoundOnlyOnceItsOwnerIsGone)
{
    QTemporaryDir dir;
    JournalFormat::State now = state('a', "/t/a.vnt", false, false);
    {
        TuneJournal journal(dir.path(), [&] { return now; });
        ASSERT_TRUE(journal.Start()) << journal.Error().toStdString();
        now.project[3] = 'q';
        now.modified = true;
        journal.Capture();
        journal.Capture(); // nothing new: no record
        EXPECT_EQ(journal.Records(), 2);
        EXPECT_TRUE(FindLeftBehindJournals(dir.path(), Size).empty()) << "its owner still runs";
    } // destroyed without Finish: as a crash leaves it
    std::vector<LeftBehindJournal> left = FindLeftBehindJournals(dir.path(), Size);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left[0].replay.state.sameAs(now));
    RemoveJournal(left[0]);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    TuneJournal finished(dir.path(), [&] { return now; });
    ASSERT_TRUE(finished.Start());
    finished.Finish();
    EXPECT_TRUE(FindLeftBehindJournals(dir.path(), Size).empty());
}
