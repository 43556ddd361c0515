// Opening large data logs. Targets: a one-hour log at 40 samples per second
// (144,000 lines) opens in under 1 s, and any 1,000,000-line log is shown in
// under 2 s, the process staying under 400 MB resident. Two kinds of log are
// written first (the second argument):
//  0  the logger's own form: the eight fixed columns, eight analog and four
//     digital inputs (20 columns), CR LF, dates "yyyy-MM-dd HH:mm:ss.zzz";
//  1  a log as users bring it, re-saved by a spreadsheet: ten columns, dates
//     "01/02/2024 10:11:12" in whole seconds (forty lines share each), and
//     runs of equal lines where the engine held still.
//
// Counters: peak_rss_MB is the process's peak resident size so far (VmHWM),
// file_MB the log's size.

#include "analysis/DataLog.h"
#include "analysis/Decimation.h"
#include "analysis/ui/DatalogViewer.h"
#include "platform/FileDialogService.h"
#include "support/ScriptedFileDialogService.h"
#include "platform/MessageBoxService.h"
#include "support/ScriptedMessageBoxService.h"
#include "platform/UiServices.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>

namespace {

double peakRssMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

QByteArray loggerLine(long i)
{
    static const QDateTime start(QDate(2026, 12, 6), QTime(14, 0));
    const double s = static_cast<double>(i) * 0.025;
    const int rpm = 800 + static_cast<int>(3000 + 2900 * std::sin(s / 7.0));
    const double tp = 60 + 55 * std::sin(s / 3.0);
    const QByteArray when = start.addMSecs(i * 25).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1();
    char buf[512];
    const int n = std::snprintf(buf, sizeof buf,
                                "%s,%d,%.7g,%d,%d,%d,%.4g,%.4g,%.4g,%.5g,%.4g,%.4g,%.4g,%.4g,%.3g,%.4g,%d,%d,%d,%d\r\n",
                                when.constData(), rpm, tp, 20 + static_cast<int>(i % 7), 10, 12, tp * 0.125,
                                tp * rpm / 12000.0, 1.2 + tp / 60.0, 650 + 200 * std::sin(s), 12.5 + std::cos(s),
                                0.3 * std::sin(s / 2), 31.5, 88.25, 0.0, 101.3, static_cast<int>(i % 400 < 5), 0, 1,
                                static_cast<int>(i / 1000 % 2));
    return QByteArray(buf, n);
}

QByteArray spreadsheetLine(long i)
{
    // 40 lines a second from 10:11:12 on 1 February 2024 (month first), the
    // values held for 200 lines at a time.
    const long second = 10 * 3600 + 11 * 60 + 12 + i / 40;
    const long day = 2 + second / 86400;
    const long inDay = second % 86400;
    const long k = i / 200 % 50;
    char buf[256];
    const int n = std::snprintf(buf, sizeof buf, "01/%02ld/2024 %ld:%02ld:%02ld,%ld,%ld,20,10,12,1.25,12.5,%.4g,650\r\n",
                                day, inDay / 3600, inDay / 60 % 60, inDay % 60, 2000 + k * 50, 10 + k, 1.5 + static_cast<double>(k) * 0.01);
    return QByteArray(buf, n);
}

// Writes (once) a log of `lines` samples of the kind.
QString logOf(long lines, long kind = 0)
{
    static std::map<std::pair<long, long>, QString> made;
    if (auto it = made.find({lines, kind}); it != made.end())
        return it->second;
    const QString path = folder().filePath(QStringLiteral("log%1-%2.csv").arg(lines).arg(kind));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    QByteArray chunk = kind == 0 ? "DATE/TIME,RPM,TP,Timing Mark,Low Gear Enrichment,High Gear Enrichment,"
                                   "Injector Pulsewidth,Injector Duty,MAS,EGT,AFR,Boost,IAT,CLT,Knock,Baro,Launch,"
                                   "Flat Shift,AC,Fan\r\n"
                                 : "DATE/TIME,RPM,TP,Timing Mark,Low Gear Enrichment,High Gear Enrichment,"
                                   "Injector Pulsewidth,Injector Duty,MAS,EGT\r\n";
    for (long i = 0; i < lines; ++i) {
        chunk.append(kind == 0 ? loggerLine(i) : spreadsheetLine(i));
        if (chunk.size() > (1 << 20)) {
            f.write(chunk);
            chunk.clear();
        }
    }
    f.write(chunk);
    f.close();
    made[{lines, kind}] = path;
    return path;
}

// The logs reading and opening are measured on: lines, kind (as logOf).
void logSizes(benchmark::internal::Benchmark *b)
{
    b->Args({144000, 0})->Args({1000000, 0})->Args({1000000, 1});
}

void BM_ReadLog(benchmark::State &state)
{
    const QString path = logOf(state.range(0), state.range(1));
    std::size_t rows = 0;
    for (auto _ : state) {
        DataLogReport report;
        const DataLog log = ReadDataLog(path, &report);
        rows = log.rowCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["lines"] = static_cast<double>(rows);
    state.counters["file_MB"] = QFileInfo(path).size() / 1048576.0;
    state.counters["peak_rss_MB"] = peakRssMB();
}
BENCHMARK(BM_ReadLog)
    ->Apply(logSizes)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Opening in the viewer as the user does: from the file chosen until the
// window has painted the log (reading on the reading thread, the column list,
// the plots decimated to their width, the cursor table).
void BM_OpenInViewer(benchmark::State &state)
{
    const QString path = logOf(state.range(0), state.range(1));
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    UiServices ui{messages, files};
    DatalogViewer viewer(ui, {});
    viewer.resize(1200, 800);
    viewer.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        if (!viewer.openLog(path))
            state.SkipWithError("the log did not open");
        viewer.repaint();
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = static_cast<double>(viewer.log().rowCount());
    state.counters["plots"] = viewer.plotCount();
    state.counters["peak_rss_MB"] = peakRssMB();
}
BENCHMARK(BM_OpenInViewer)
    ->Apply(logSizes)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// One zoom or pan step over the whole of a 1,000,000-line log: the
// decimation of one plot to 1000 slices.
void BM_DecimateWholeLog(benchmark::State &state)
{
    static const DataLog log = ReadDataLog(logOf(1000000));
    std::vector<QPointF> out;
    for (auto _ : state) {
        Decimation::MinMax(log.time, log.columns[0], 0, log.time.back(), 1000, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["points"] = static_cast<double>(out.size());
}
BENCHMARK(BM_DecimateWholeLog)->Unit(benchmark::kMillisecond);

} // namespace
