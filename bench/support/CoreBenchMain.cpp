// Entry point of the benchmarks of the core that need an application object
// (timers, the application's name for its data folders) but no widgets.

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include "BenchMain.h"

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}
