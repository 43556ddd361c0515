#include "support/BoxSim.h"

#include "platform/SerialPort.h"
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace {

constexpr int StartTimeoutMs = 10000;
constexpr int StopTimeoutMs = 10000;

// The value given for option in arguments ("--opt value" or "--opt=value").
QString optionValue(const QStringList &arguments, const QString &option)
{
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == option && i + 1 < arguments.size())
            return arguments[i + 1];
        if (arguments[i].startsWith(option + QLatin1Char('=')))
            return arguments[i].mid(option.size() + 1);
    }
    return {};
}

} // namespace

BoxSim::BoxSim(const QStringList &arguments)
{
    QStringList args = arguments;
    m_logPath = optionValue(arguments, QStringLiteral("--log"));
    if (m_logPath.isEmpty()) {
        m_logPath = m_dir.filePath(QStringLiteral("frames.log"));
        args << QStringLiteral("--log") << m_logPath;
    }
    m_imagePath = optionValue(arguments, QStringLiteral("--save-on-exit"));
    if (m_imagePath.isEmpty()) {
        m_imagePath = m_dir.filePath(QStringLiteral("image.bin"));
        args << QStringLiteral("--save-on-exit") << m_imagePath;
    }

    const QString program = testenv::binary(QStringLiteral("vantrelle-boxsim"));
#ifdef __linux__
    // A test process that dies without its destructors running (a crash, a
    // sanitizer abort) takes its box with it instead of leaving it behind.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    m_process.start(program, args);
    if (!m_process.waitForStarted(StartTimeoutMs)) {
        ADD_FAILURE() << "vantrelle-boxsim did not start (" << program.toStdString()
                      << "): " << m_process.errorString().toStdString();
        m_ended = true;
        return;
    }
    QDeadlineTimer deadline(StartTimeoutMs);
    while (!m_process.canReadLine() && !deadline.hasExpired()) {
        if (m_process.state() != QProcess::Running)
            break;
        m_process.waitForReadyRead(static_cast<int>(qMin<qint64>(deadline.remainingTime(), 200)));
    }
    if (!m_process.canReadLine()) {
        stop();
        ADD_FAILURE() << "vantrelle-boxsim " << args.join(QLatin1Char(' ')).toStdString()
                      << " printed no device within " << StartTimeoutMs / 1000 << " s: "
                      << errorOutput().toStdString();
        return;
    }
    m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
}

BoxSim::~BoxSim()
{
    stop();
}

bool BoxSim::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

QStringList BoxSim::logLines() const
{
    const QByteArray text = testenv::readFile(m_logPath);
    // Only whole lines: a line still being written is not a frame yet.
    const qsizetype end = text.lastIndexOf('\n');
    QStringList lines;
    if (end < 0)
        return lines;
    for (const QByteArray &line : text.left(end).split('\n'))
        lines << QString::fromLatin1(line);
    return lines;
}

QStringList BoxSim::waitForLogLines(int count, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    QStringList lines = logLines();
    while (lines.size() < count && !deadline.hasExpired()) {
        QThread::msleep(5);
        lines = logLines();
    }
    return lines;
}

QByteArray BoxSim::savedImage() const
{
    return testenv::readFile(m_imagePath);
}

int BoxSim::stop()
{
    if (m_ended)
        return m_exitStatus;
    m_ended = true;
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(StopTimeoutMs)) {
            ADD_FAILURE() << "vantrelle-boxsim did not end within " << StopTimeoutMs / 1000 << " s of SIGTERM";
            m_process.kill();
            m_process.waitForFinished(StopTimeoutMs);
            return m_exitStatus = -1;
        }
    }
    m_exitStatus = m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    return m_exitStatus;
}

void BoxSim::kill()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(StopTimeoutMs);
    }
    m_exitStatus = -1;
    m_ended = true;
}

QByteArray AskBox(SerialPort &port, const QByteArray &request, int count)
{
    QByteArray got;
    if (!port.Output(request))
        return got;
    QDeadlineTimer deadline(30000);
    while (got.size() < count && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        got += port.Input();
    }
    return got;
}

QString BoxSim::errorOutput() const
{
    m_errorOutput += m_process.readAllStandardError();
    return QString::fromLocal8Bit(m_errorOutput);
}
