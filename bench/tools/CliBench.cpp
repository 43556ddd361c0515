// vantrelle-cli diff and textconv on two full tunes that differ in every
// value (random images, so every item and cell changes): reading both files,
// finding the differences and making the lines, then the whole command as a
// process, start-up included. Target: the command under 100 ms.

#include "TuneText.h"

#include "model/ImageFile.h"
#include "model/ProjectFile.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Files
{
    QTemporaryDir dir;
    QString mine;
    QString theirs;

    Files() : mine(dir.filePath(QStringLiteral("a.vnt"))), theirs(dir.filePath(QStringLiteral("b.bin")))
    {
        QByteArray a(ImageFormat::Size, '\0');
        QByteArray b(ImageFormat::Size, '\0');
        QRandomGenerator(1).fillRange(reinterpret_cast<quint32 *>(a.data()), a.size() / 4);
        QRandomGenerator(2).fillRange(reinterpret_cast<quint32 *>(b.data()), b.size() / 4);
        Tune tune;
        TuneFromImage(a, tune);
        WriteProjectFile(mine, tune);
        WriteImageFile(theirs, b);
    }
};

Files &files()
{
    static Files f;
    return f;
}

void BM_DiffTwoFullTunes(benchmark::State &st)
{
    qsizetype lines = 0;
    for (auto _ : st) {
        Tune a;
        Tune b;
        cli::LoadedTune loaded;
        cli::readAnyTune(files().mine, a, loaded);
        cli::readAnyTune(files().theirs, b, loaded);
        const QStringList text = cli::differenceLines(a, b);
        benchmark::DoNotOptimize(text.join(QLatin1Char('\n')).toUtf8());
        lines = text.size();
    }
    st.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_DiffTwoFullTunes)->Unit(benchmark::kMillisecond);

void BM_RawDiffTwoFullTunes(benchmark::State &st)
{
    Tune a;
    Tune b;
    cli::LoadedTune loaded;
    cli::readAnyTune(files().mine, a, loaded);
    cli::readAnyTune(files().theirs, b, loaded);
    for (auto _ : st)
        benchmark::DoNotOptimize(cli::rawDifferenceLines(a, b).join(QLatin1Char('\n')).toUtf8());
}
BENCHMARK(BM_RawDiffTwoFullTunes)->Unit(benchmark::kMillisecond);

void BM_TextconvFullTune(benchmark::State &st)
{
    Tune a;
    cli::LoadedTune loaded;
    cli::readAnyTune(files().mine, a, loaded);
    for (auto _ : st)
        benchmark::DoNotOptimize(cli::tuneText(a, false));
}
BENCHMARK(BM_TextconvFullTune)->Unit(benchmark::kMillisecond);

// What the user waits for: the program started, both files read, every
// difference printed.
void BM_DiffCommand(benchmark::State &st)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/vantrelle-cli");
    for (auto _ : st) {
        QProcess p;
        p.start(program, {QStringLiteral("diff"), files().mine, files().theirs});
        if (!p.waitForFinished(10000) || p.exitCode() != 1) {
            st.SkipWithError("vantrelle-cli diff did not run");
            break;
        }
        benchmark::DoNotOptimize(p.readAllStandardOutput());
    }
}
BENCHMARK(BM_DiffCommand)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
