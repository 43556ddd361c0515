// The journal and the history at work: one record for a change of a whole
// map, one history entry, and what a day of 1000 entries costs on disk
// (target: under 5 MB).

#include "history/HistoryStore.h"
#include "history/TuneJournal.h"
#include "model/ImageFile.h"
#include "model/ProjectFile.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A block operation over a whole map, journalled (written, not yet synced).
void JournalRecordOfAWholeMap(benchmark::State &state)
{
    QTemporaryDir dir;
    Tune tune;
    TuneJournal journal(dir.path(), [&tune] { return JournalFormat::State{EncodeProject(tune), "/t/a.vnt", true, true, {}}; });
    journal.Start();
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (int i = 0; i < 256; ++i)
            tune.map(MapKey::HOFM).SetMapValue(i, (i + round) % 256);
        journal.Capture();
    }
}
BENCHMARK(JournalRecordOfAWholeMap)->Unit(benchmark::kMicrosecond);

// A tuner's day: 1000 entries, most a few cells apart, some a whole map.
void DayOfHistory(benchmark::State &state)
{
    for (auto _ : state) {
        QTemporaryDir dir;
        HistoryStore store(dir.path());
        store.Load();
        Tune tune;
        const QByteArray base(ImageFormat::Size, '\x3c');
        for (int n = 0; n < 1000; ++n) {
            if (n % 50 == 0)
                for (int i = 0; i < 256; ++i)
                    tune.map(MapKey(n / 50 % 6)).SetMapValue(i, (i * 7 + n) % 256);
            for (int k = 0; k < 3; ++k)
                tune.map(MapKey::HOFM).SetMapValue((n * 13 + k * 31) % 256, (n + k) % 256);
            store.Add(HistoryKind(n % 7), QStringLiteral("/t/a.vnt"), tune, PatchImage(base, tune));
        }
        qint64 bytes = 0;
        for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            bytes += QFileInfo(it.next()).size();
        state.counters["MB"] = double(bytes) / (1024.0 * 1024.0);
        if (bytes >= 5 * 1024 * 1024)
            state.SkipWithError("a day of history takes 5 MB or more");
    }
}
BENCHMARK(DayOfHistory)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
