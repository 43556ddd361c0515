#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class SerialPort;

// A running vantrelle-boxsim for a test: a simulated box on a pseudo-terminal.
//
//     BoxSim box({"--bad-ack", "3"});
//     ASSERT_TRUE(box.started());
//     open box.device() like a serial port, talk to it ...
//     EXPECT_EQ(box.logLines().value(0), "56 56");
//     box.stop();                       // SIGTERM; the image is saved
//     QByteArray image = box.savedImage();
//
// Every box gets a private temporary folder holding its frame log (--log) and
// the image it saves when it ends (--save-on-exit), unless the arguments name
// their own. Starting fails the current test (without aborting it) when the
// device does not appear within ten seconds; started() then says false.
class BoxSim
{
public:
    explicit BoxSim(const QStringList &arguments = {});
    ~BoxSim();  // stop()
    BoxSim(const BoxSim &) = delete;
    BoxSim &operator=(const BoxSim &) = delete;

    bool started() const { return !m_device.isEmpty(); }
    bool isRunning() const;
    // The pseudo-terminal's device, e.g. /dev/pts/4 (empty when not started).
    QString device() const { return m_device; }
    // The box's process id (for signals other than stop() and kill()).
    qint64 processId() const { return m_process.processId(); }
    // The box's private folder (a good place for --link PATH and other files).
    QString folder() const { return m_dir.path(); }

    // The received frames so far, one per line: upper-case hex bytes separated
    // by single spaces ("52 00 7D 00 CF").
    QStringList logLines() const;
    // Waits (up to timeoutMs) until the log holds at least count lines and
    // returns it as it then is.
    QStringList waitForLogLines(int count, int timeoutMs = 10000) const;
    QString logPath() const { return m_logPath; }

    // Where the box writes its memory when it ends, and the bytes found there
    // (empty until the box has stopped).
    QString imagePath() const { return m_imagePath; }
    QByteArray savedImage() const;

    // Ends the box with SIGTERM and waits for it; returns its exit status
    // (-1 when it had to be killed or crashed). Harmless when already ended.
    int stop();
    // Ends the box with SIGKILL: the device vanishes at once, nothing is saved.
    void kill();

    // What the box has printed on stderr so far.
    QString errorOutput() const;

private:
    QTemporaryDir m_dir;
    mutable QProcess m_process;
    mutable QByteArray m_errorOutput;
    QString m_device;
    QString m_logPath;
    QString m_imagePath;
    int m_exitStatus = -1;
    bool m_ended = false;
};

// Sends request on an open port and waits (generously) for count bytes of
// answer; returns what came by then.
QByteArray AskBox(SerialPort &port, const QByteArray &request, int count);
