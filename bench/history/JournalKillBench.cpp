// Kills a journalling editor at random moments, run after run, and checks
// that the journal it leaves brings back the tune exactly as it was at the
// last change the editor had shown as done (or at the change it was making
// when it died): project bytes, file name and flags.
//
//   journal_kill [--runs N] [--seed S]
//
// Each run starts this program again as the editor (--editor SEED FOLDER):
// it edits single cells, whole maps, general values and the version, saves
// its project and switches real-time mode, whose writes put the journal on
// disk first; after each change it prints the change's number. The
// controller kills it with SIGKILL after a random 5 to 400 ms, reads what
// the journal gives back and replays the same changes itself to know what
// that must be.

#include "editors/EditSession.h"
#include "history/JournalledSender.h"
#include "history/TuneJournal.h"
#include "model/ProgramState.h"
#include "model/ProjectFile.h"
#include "support/LiveLink.h"
#include "support/NullSender.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <optional>

namespace {

// One editor's changes, the same for the same seed.
class Editor
{
public:
    Editor(quint32 seed, const QString &folder, RealTimeSender &sender)
        : m_random(seed), m_folder(folder), m_edits(state, link, sender)
    {
    }

    void change()
    {
        const int kind = m_random.bounded(100);
        const MapKey map = MapKey(m_random.bounded(6));
        if (kind < 40) {
            m_edits.CommitValue(ItemOfMap(map), m_random.bounded(256), m_random.bounded(256));
        } else if (kind < 55) {
            std::vector<ValueWrite> writes;
            const int base = m_random.bounded(200);
            for (int i = 0; i < 256; ++i)
                writes.push_back({ItemOfMap(map), i, (base + i) % 256});
            m_edits.CommitValues(writes, QStringLiteral("Block"));
        } else if (kind < 65) {
            m_edits.ChangeValue(TuneItem::RevLimiter, 0, 100 + m_random.bounded(100));
        } else if (kind < 75) {
            QString text;
            for (int i = 0; i < 5; ++i)
                text += QChar('A' + m_random.bounded(26));
            m_edits.ChangeVersion(text);
        } else if (kind < 85) {
            fileName = QDir(m_folder).filePath(QStringLiteral("tune%1.vnt").arg(m_random.bounded(3)));
            if (WriteProjectFile(fileName, state.tune))
                state.NoteSaved();
        } else if (link.RealTimeEnabled()) {
            link.StopRealTime(150);
        } else {
            testlink::GoLive(link);
        }
    }

    JournalFormat::State now() const
    {
        return {EncodeProject(state.tune), fileName, state.Modified(), state.ChangesNotSent(), {}};
    }

    ProgramState state;
    LinkSession link;
    QString fileName;

private:
    QRandomGenerator m_random;
    QString m_folder;
    EditSession m_edits;
};

int editor(quint32 seed, const QString &folder)
{
    NullSender box;
    const Editor *edited = nullptr;
    TuneJournal journal(folder, [&edited] { return edited->now(); });
    JournalledSender sender(box, journal);
    Editor e(seed, folder, sender);
    edited = &e;
    // As the application listens.
    const auto capture = [&journal] { journal.Capture(); };
    QObject::connect(&e.state, &ProgramState::contentsChanged, capture);
    QObject::connect(&e.state, &ProgramState::flagsChanged, capture);
    QObject::connect(&e.state, &ProgramState::saved, capture);
    if (!journal.Start())
        return 3;
    for (long n = 1;; ++n) {
        e.change();
        std::printf("%ld\n", n);
        std::fflush(stdout);
    }
}

// The state after n changes of the seed's editor.
JournalFormat::State replay(quint32 seed, const QString &folder, long n)
{
    NullSender box;
    Editor e(seed, folder, box);
    for (long i = 0; i < n; ++i)
        e.change();
    return e.now();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--editor"))
        return editor(args[2].toUInt(), args[3]);
    int runs = 200;
    quint32 seed = 1;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--runs"))
            runs = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--seed"))
            seed = args[i + 1].toUInt();
    }
    QRandomGenerator delays(seed);
    int exact = 0;
    long changes = 0;
    for (int run = 0; run < runs; ++run) {
        QTemporaryDir folder;
        QProcess child;
        child.start(app.applicationFilePath(),
                    {QStringLiteral("--editor"), QString::number(seed + run), folder.path()});
        if (!child.waitForStarted(30000))
            return 2;
        QElapsedTimer clock;
        clock.start();
        const int delay = 5 + delays.bounded(395);
        while (clock.elapsed() < delay)
            child.waitForReadyRead(int(std::max<qint64>(1, delay - clock.elapsed())));
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished(30000);
        long shown = 0;
        for (const QByteArray &line : child.readAllStandardOutput().split('\n'))
            if (!line.isEmpty())
                shown = line.toLong();
        changes += shown;
        std::vector<LeftBehindJournal> left = FindLeftBehindJournals(folder.path(), ProjectFormat::Size);
        // Killed before its first change was shown, a run may have no
        // journal whole yet: nothing was done, nothing is owed.
        const bool nothingShown = shown == 0 && (left.empty() || !left[0].replay.ok);
        const bool restored = nothingShown || (left.size() == 1 && left[0].replay.ok &&
                                               (left[0].replay.state.sameAs(replay(seed + run, folder.path(), shown)) ||
                                                left[0].replay.state.sameAs(replay(seed + run, folder.path(), shown + 1))));
        exact += restored;
        if (!restored) {
            std::fprintf(stderr, "run %d (seed %u, %ld changes shown): the journal gave back another tune\n", run,
                         seed + run, shown);
            if (qEnvironmentVariableIsSet("JOURNAL_KILL_DEBUG") && !left.empty()) {
                const JournalFormat::State &got = left[0].replay.state;
                for (long k = std::max(0L, shown - 3); k <= shown + 3; ++k) {
                    const JournalFormat::State want = replay(seed + run, folder.path(), k);
                    std::fprintf(stderr, "  k=%ld project %d name %d flags %d/%d vs %d/%d records %d\n", k,
                                 int(want.project == got.project), int(want.fileName == got.fileName), int(want.modified),
                                 int(want.notSent), int(got.modified), int(got.notSent), left[0].replay.records);
                }
            }
        }
    }
    std::printf("journal_kill: %d of %d runs killed at random gave back the tune of the last change shown, byte for "
                "byte (%ld changes in all)\n",
                exact, runs, changes);
    return exact == runs ? 0 : 1;
}
