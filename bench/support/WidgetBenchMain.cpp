// Entry point of the benchmarks that need widgets: the offscreen platform
// unless a display is asked for, and private settings and runtime folders so
// a benchmark never touches the user's preferences.

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "BenchMain.h"

int main(int argc, char **argv)
{
    QTemporaryDir isolated;
    IsolateWidgetBench(isolated);
    QApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
