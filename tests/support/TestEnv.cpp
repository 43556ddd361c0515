#include "support/TestEnv.h"

#include "model/Tune.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <sys/stat.h>

namespace testenv {

void isolate(const QString &root)
{
    qputenv("XDG_CONFIG_HOME", (root + "/config").toLocal8Bit());
    // Running data logs live in the data folder.
    qputenv("XDG_DATA_HOME", (root + "/data").toLocal8Bit());
    qputenv("XDG_STATE_HOME", (root + "/state").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (root + "/runtime").toLocal8Bit());
    qputenv("TMPDIR", root.toLocal8Bit());
    QDir().mkpath(root + "/runtime");
    QFile::setPermissions(root + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QString binDir()
{
    const QByteArray fromEnv = qgetenv("VANTRELLE_BIN_DIR");
    return fromEnv.isEmpty() ? QCoreApplication::applicationDirPath() : QString::fromLocal8Bit(fromEnv);
}

QString binary(const QString &name)
{
    return QDir(binDir()).filePath(name);
}

namespace {

ProcessResult runProcess(QProcess &p, const QString &program, const QStringList &args, int timeoutMs,
                         const QByteArray &stdinData)
{
    ProcessResult result;
    p.start(program, args);
    if (!p.waitForStarted(timeoutMs))
        return result;
    if (!stdinData.isEmpty())
        p.write(stdinData);
    p.closeWriteChannel();
    result.finished = p.waitForFinished(timeoutMs);
    if (!result.finished) {
        p.kill();
        p.waitForFinished();
    }
    result.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    result.out = p.readAllStandardOutput();
    result.err = p.readAllStandardError();
    return result;
}

} // namespace

ProcessResult run(const QString &program, const QStringList &args, int timeoutMs, const QByteArray &stdinData)
{
    QProcess p;
    return runProcess(p, program, args, timeoutMs, stdinData);
}

ProcessResult runInto(const QString &stdoutPath, const QString &program, const QStringList &args)
{
    QProcess p;
    p.setStandardOutputFile(stdoutPath);
    return runProcess(p, program, args, 30000, {});
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool isFifo(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

void risingAxes(Tune &t, int timingRpm, int rpmStep, int timingTp, int tpStep)
{
    for (int i = 0; i < 16; ++i) {
        t.map(MapKey::FUELRPM).SetMapValue(i, 10 + 10 * i);
        t.map(MapKey::FUELTP).SetMapValue(i, 16 * i);
        t.map(MapKey::TIMINGRPM).SetMapValue(i, timingRpm + rpmStep * i);
        t.map(MapKey::TIMINGTP).SetMapValue(i, timingTp + tpStep * i);
    }
}

} // namespace testenv
