#pragma once

// The simulated box pacing every byte at the line's speed, the port the
// link benchmarks open on it, and the timing of exchanges over that port.

#include "link/ExchangeRunner.h"
#include "platform/SerialPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

constexpr double ByteSeconds = 10.0 / 115200.0;

// Starts vantrelle-boxsim from beside the benchmark, paced at the line's
// speed, and returns the device it announces; empty, with error set, when
// it cannot be had.
inline QString StartPacedBox(QProcess &process, QString &error)
{
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/vantrelle-boxsim");
    process.start(program, {QStringLiteral("--pace")});
    if (!process.waitForStarted(10000)) {
        error = QStringLiteral("cannot start %1: %2").arg(program, process.errorString());
        return {};
    }
    while (!process.canReadLine() && process.waitForReadyRead(10000)) {
    }
    const QString device = QString::fromLocal8Bit(process.readLine()).trimmed();
    if (device.isEmpty())
        error = QStringLiteral("vantrelle-boxsim printed no device");
    return device;
}

// The paced box and an open port on it. front, when given, puts something
// between the two (an adapter): it takes the box's device and returns the
// one to open, or empty with error set.
struct PacedBox
{
    QProcess process;
    SerialPort port;
    QTemporaryDir dir;
    QString error;

    bool start(const std::function<QString(const QString &)> &front = {})
    {
        QString device = StartPacedBox(process, error);
        if (!device.isEmpty() && front)
            device = front(device);
        if (device.isEmpty())
            return false;
        port.SetPortName(device);
        if (!port.Open()) {
            error = port.ErrorDescription();
            return false;
        }
        return true;
    }
    ~PacedBox()
    {
        port.Close();
        process.terminate();
        process.waitForFinished(10000);
    }
};

struct ExchangeTimes
{
    double mean = 0;  // seconds
    double worst = 0;
};

// Runs the exchange made by make() once per iteration on port, timed by the
// wall clock. Nothing when no run completed: a failed one skips the
// benchmark with its message.
template <typename Make>
std::optional<ExchangeTimes> TimeExchanges(benchmark::State &state, SerialPort &port, Make make)
{
    double total = 0;
    double worst = 0;
    int runs = 0;
    for (auto _ : state) {
        std::unique_ptr<LinkExchange> exchange = make();
        QElapsedTimer timer;
        timer.start();
        const LinkOutcome outcome = RunExchange(*exchange, port);
        const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        if (!outcome.ok()) {
            state.SkipWithError(qPrintable(outcome.message));
            return std::nullopt;
        }
        state.SetIterationTime(seconds);
        total += seconds;
        worst = std::max(worst, seconds);
        ++runs;
    }
    if (runs == 0)
        return std::nullopt;
    return ExchangeTimes{total / runs, worst};
}
