// vantrelle-boxsim as a program: started through the BoxSim helper and talked
// to over its real pseudo-terminal, the way the application talks to a box.
// Its protocol engine is tested on its own in BoxEngineTest.

#include "support/BoxSim.h"
#include "support/ExchangeTestSupport.h"
#include "support/TestEnv.h"

#include "link/Frames.h"
#include "platform/SerialPort.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr int ReplyTimeoutMs = 10000;

// Opens the device as the application does and asks the box.
QByteArray exchange(const QString &device, const QByteArray &request, int count)
{
    SerialPort port;
    port.SetPortName(device);
    return port.Open() ? AskBox(port, request, count) : QByteArray();
}

const QByteArray Version("\x02\x05\x07", 3);

} // namespace

// The box starts from the first 32768 bytes of an image file and, ended by
// SIGINT, saves what was written to it.
TEST(BoxSim, StartsFromAnImageFileAndSavesOnSigint)
{
    QTemporaryDir dir;
    QByteArray image = PatternImage(11);
    const QString path = dir.filePath("custom.bin");
    ASSERT_TRUE(testenv::writeFile(path, image + QByteArray(100, '\xEE')));
    const QString saved = dir.filePath("after.bin");
    BoxSim box({"--image", path, "--save-on-exit", saved});
    ASSERT_TRUE(box.started());
    const QByteArray block = image.mid(0x7F00, 256);
    EXPECT_EQ(exchange(box.device(), Frames::ReadRequest(0x7F00, 256), 257),
              block + static_cast<char>(Frames::Sum8(block)));
    EXPECT_EQ(exchange(box.device(), Frames::WriteRequest(0x7B00, QByteArray(16, '\x09')), 1), QByteArray("O"));
    image.replace(0x7B00, 16, QByteArray(16, '\x09'));
    ASSERT_EQ(::kill(static_cast<pid_t>(box.processId()), SIGINT), 0);
    EXPECT_EQ(box.stop(), 0);
    EXPECT_EQ(testenv::readFile(saved), image);
}

TEST(BoxSim, LinkPointsAtTheDeviceWhileTheBoxRuns)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("vantrelle");
    // An old link is replaced.
    ASSERT_TRUE(QFile::link("/nonexistent/old", link));
    {
        BoxSim box({"--link", link});
        ASSERT_TRUE(box.started());
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), box.device());
        EXPECT_EQ(exchange(link, Frames::VersionRequest(), 3), Version);
        EXPECT_EQ(box.stop(), 0);
    }
    EXPECT_FALSE(QFileInfo::exists(link) || QFileInfo(link).isSymLink());
}

TEST(BoxSim, BadOptionsAndInputsAreRefused)
{
    QTemporaryDir dir;
    const QString shortImage = dir.filePath("short.bin");
    ASSERT_TRUE(testenv::writeFile(shortImage, QByteArray(32767, '\0')));
    ASSERT_TRUE(testenv::makeFifo(dir.filePath("pipe")));
    ASSERT_TRUE(testenv::writeFile(dir.filePath("precious.txt"), "keep me"));
    struct Case { QStringList args; const char *message; };
    const std::vector<Case> cases = {
        {{"--image", dir.filePath("missing.bin")}, "missing.bin"},
        {{"--image", shortImage}, "32767"},
        {{"--stock", "999"}, "Could not find requested resource."},
        {{"--version-bytes", "1,2,256"}, "--version-bytes"},
        {{"--save-on-exit", dir.filePath("pipe")}, "is a pipe, not a regular file"},
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"--link", dir.filePath("precious.txt")}, "not a symbolic link"},
    };
    for (const Case &c : cases) {
        const testenv::ProcessResult r = testenv::run(testenv::binary("vantrelle-boxsim"), c.args, 10000);
        const std::string what = c.args.join(' ').toStdString();
        ASSERT_TRUE(r.finished) << what;
        EXPECT_EQ(std::pair(r.exitCode, r.out), std::pair(2, QByteArray())) << what;
        EXPECT_TRUE(r.err.contains(c.message)) << what << ": " << r.err.constData();
    }
    EXPECT_EQ(testenv::readFile(dir.filePath("precious.txt")), QByteArray("keep me"));
}

TEST(BoxSim, ExclusiveModeLeftByADeadUserIsCleared)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    const QByteArray device = QFile::encodeName(box.device());
    {
        // A user that set exclusive mode (as QSerialPort does) and vanished
        // without undoing it.
        const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ioctl(fd, TIOCEXCL), 0);
        ::close(fd);
    }
    // The next user gets in (without privileges it would see EBUSY until the
    // box clears the mode; with them, it sees the mode cleared).
    bool cleared = false;
    QDeadlineTimer deadline(ReplyTimeoutMs);
    while (!cleared && !deadline.hasExpired()) {
        const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY);
        if (fd >= 0) {
            int exclusive = 1;
            cleared = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive == 0;
            ::close(fd);
        }
        if (!cleared)
            QThread::msleep(20);
    }
    EXPECT_TRUE(cleared) << "box running: " << box.isRunning() << " " << box.errorOutput().toStdString();
    EXPECT_EQ(exchange(box.device(), Frames::VersionRequest(), 3), Version);
}
