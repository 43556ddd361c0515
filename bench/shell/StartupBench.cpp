// Start-up to the first painted main window, and resident memory with a tune
// loaded and the fuel grid on screen. A timing tool rather than a Google
// Benchmark: start-up happens once per process, so each run is one sample;
// run it a few times (shell_bench [runs]) and it reports the median.
//
// Targets: first paint under 400 ms, resident memory under 80 MB.

#include "model/ProjectFile.h"
#include "model/StockPrograms.h"
#include "model/ImageFile.h"
#include "platform/FileDialogService.h"
#include "support/ScriptedFileDialogService.h"
#include "platform/MessageBoxService.h"
#include "support/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "app/MainApplication.h"
#include "shell/frmMain.h"
#include "app/CVUserPrefs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double residentMegabytes()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

// Watches for the first paint of anything in the main window.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(QWidget *window) : m_window(window) {}
    bool painted = false;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && o->isWidgetType() && static_cast<QWidget *>(o)->window() == m_window)
            painted = true;
        return false;
    }

private:
    QWidget *m_window;
};

// One start in this process: returns milliseconds to first paint.
int runOnce(const QString &project, double *rss)
{
    QElapsedTimer clock;
    clock.start();
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    CVUserPrefs prefs(store);
    StartOptions options;
    options.projectPath = project;
    MainApplication app(prefs, messages, files, options);
    FirstPaint watcher(&app.window());
    qApp->installEventFilter(&watcher);
    app.start();
    while (!watcher.painted)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const int ms = static_cast<int>(clock.elapsed());
    qApp->removeEventFilter(&watcher);

    // The fuel grid on screen, as a tuner works.
    QTreeWidget *tree = app.window().Tree();
    for (QTreeWidgetItem *item : tree->findItems("High Octane Fuel Map", Qt::MatchExactly))
        emit tree->itemClicked(item, 0);
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    *rss = residentMegabytes();
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A child run measures one cold start; the parent collects the runs.
    if (argc == 3 && QByteArray(argv[1]) == "--child") {
        QApplication app(argc, argv);
        double rss = 0;
        const int ms = runOnce(QString::fromLocal8Bit(argv[2]), &rss);
        std::printf("%d %.1f\n", ms, rss);
        return 0;
    }
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const QString project = dir.filePath("stock.vnt");
    Tune tune;
    TuneFromImage(LoadStockImage(105).image, tune);
    WriteProjectFile(project, tune);

    std::vector<int> times;
    std::vector<double> memory;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--child", project});
        child.waitForFinished(60000);
        const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
        if (parts.size() != 2) {
            std::fprintf(stderr, "run %d failed\n", i);
            return 1;
        }
        times.push_back(parts[0].toInt());
        memory.push_back(parts[1].toDouble());
    }
    std::sort(times.begin(), times.end());
    std::sort(memory.begin(), memory.end());
    const int ms = times[times.size() / 2];
    const double mb = memory[memory.size() / 2];
    std::printf("start-up to first paint: median %d ms over %d runs (target 400 ms: %.2fx of target)\n", ms,
                runs, ms / 400.0);
    std::printf("resident memory, tune loaded, fuel grid shown: median %.1f MB (target 80 MB: %.2fx of target)\n",
                mb, mb / 80.0);
    return 0;
}
