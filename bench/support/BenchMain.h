#pragma once

// What the benchmarks' entry points share.

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

// A widget benchmark: offscreen unless a display is asked for, and private
// settings and runtime folders (below isolated) so that it never touches the
// user's preferences.
inline void IsolateWidgetBench(const QTemporaryDir &isolated)
{
    qputenv("XDG_CONFIG_HOME", (isolated.path() + "/config").toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", isolated.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Runs the benchmarks the command line chooses; the application object must
// exist already.
inline int RunBenchmarks(int &argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
