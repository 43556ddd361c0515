#pragma once

// Logs for the benchmarks, written by the command-line tool beside them from
// the simulated unit and engine.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

// Runs `vantrelle-cli --sim-daq SIMULATION... log PATH --count LINES
// --no-wait` with private data and settings folders. The log takes its name
// only once whole, so a run cut short is never taken for one; false (the
// tool's words on stderr) when it failed.
inline bool WriteSimulatedLog(const QString &path, long lines, const QStringList &simulation = {})
{
    QTemporaryDir data;
    QProcess cli;
    QStringList env = QProcess::systemEnvironment();
    env << QStringLiteral("XDG_DATA_HOME=") + data.path() << QStringLiteral("XDG_CONFIG_HOME=") + data.path();
    cli.setEnvironment(env);
    const QString part = path + QStringLiteral(".part");
    cli.start(QCoreApplication::applicationDirPath() + QStringLiteral("/vantrelle-cli"),
              QStringList{QStringLiteral("--sim-daq")} + simulation +
                  QStringList{QStringLiteral("log"), part, QStringLiteral("--count"), QString::number(lines),
                              QStringLiteral("--no-wait")});
    if (!cli.waitForFinished(-1) || cli.exitCode() != 0 || !QFile::rename(part, path)) {
        std::fprintf(stderr, "vantrelle-cli failed: %s\n", cli.readAllStandardError().constData());
        return false;
    }
    return true;
}
