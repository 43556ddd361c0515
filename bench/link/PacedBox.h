#pragma once

// Starts vantrelle-boxsim from beside the benchmark, paced at the line's
// speed, and returns the device it announces; empty, with error set, when
// it cannot be had.

#include <QCoreApplication>
#include <QProcess>
#include <QString>

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
