// vantrelle-boxsim as a program: started through the BoxSim helper and talked
// to over its real pseudo-terminal, the way the application talks to a box.

#include "support/BoxSim.h"
#include "support/TestEnv.h"

#include "BoxEngine.h"

#include "link/Frames.h"
#include "model/StockPrograms.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int ReplyTimeoutMs = 10000;

// The application's end of the line, over plain POSIX calls.
class Line
{
public:
    explicit Line(const QString &device)
    {
        m_fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd >= 0) {
            termios t{};
            ::tcgetattr(m_fd, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~Line()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool isOpen() const { return m_fd >= 0; }

    // Reads until count bytes are in or timeoutMs has passed.
    QByteArray receive(int count, int timeoutMs = ReplyTimeoutMs)
    {
        QByteArray got;
        QDeadlineTimer deadline(timeoutMs);
        while (got.size() < count && !deadline.hasExpired()) {
            if (!waitFor(POLLIN, static_cast<int>(qMin<qint64>(deadline.remainingTime(), 100))))
                continue;
            if (!readSome(got))
                break;
        }
        return got;
    }

    // Sends while collecting whatever comes back, so neither end waits on a
    // full buffer.
    void sendDraining(const QByteArray &bytes, QByteArray &received)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                return;
            pollfd p{m_fd, POLLIN | POLLOUT, 0};
            ::poll(&p, 1, 10);
            if (p.revents & POLLIN)
                readSome(received);
        }
        while (waitFor(POLLIN, 0) && readSome(received)) {
        }
    }

    QByteArray exchange(const QByteArray &request, int replySize)
    {
        QByteArray got;
        sendDraining(request, got);
        return got + receive(replySize - static_cast<int>(got.size()));
    }

    // Reads what is waiting; false when the line is gone.
    bool readSome(QByteArray &into)
    {
        char buffer[4096];
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0)
            into.append(buffer, n);
        return n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR));
    }

    bool waitFor(short events, int ms)
    {
        pollfd p{m_fd, events, 0};
        return ::poll(&p, 1, ms) > 0;
    }

private:
    int m_fd = -1;
};

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

QByteArray stockImage(int number)
{
    const StockImageResult stock = LoadStockImage(number, testenv::binary(QStringLiteral("vntres.dll")));
    EXPECT_EQ(stock.status, StockImageResult::Ok) << number;
    return stock.image;
}

QByteArray readReply(const QByteArray &image, int address, int count)
{
    QByteArray r = image.mid(address, count);
    r.append(static_cast<char>(Frames::Sum8(r)));
    return r;
}

QString hexLine(const QByteArray &frame)
{
    return QString::fromLatin1(frame.toHex(' ').toUpper());
}

} // namespace

TEST(BoxSim, RandomBytesGetTheEnginesAnswers)
{
    // The same bytes go to the box over the line and to an engine in this
    // process: the box must log the same frames, send the same answers and end
    // with the same memory, and must still be in step afterwards.
    boxsim::BoxFaults faults;
    faults.badAck = 3;
    faults.extraByte = true;
    boxsim::BoxEngine model(stockImage(105), faults);

    QRandomGenerator random(20240611);
    QByteArray input(64 * 1024, '\0');
    for (char &b : input) {
        // Plenty of command letters, so half-frames of every kind occur.
        const quint32 r = random.bounded(8u);
        b = r == 0 ? 'R' : r == 1 ? 'W' : r == 2 ? 'w' : r == 3 ? 'V' : static_cast<char>(random.bounded(256u));
    }
    // Zeros finish whatever frame is half in, then are dropped one by one.
    input += QByteArray(300, '\0') + Frames::VersionRequest();
    QStringList expectedLog;
    QByteArray expectedReplies;
    for (char b : input) {
        boxsim::Exchange e;
        if (model.feed(b, e)) {
            expectedLog << hexLine(e.request);
            expectedReplies += e.reply;
        }
    }
    ASSERT_EQ(expectedLog.last(), "56 56");
    ASSERT_GT(expectedLog.size(), 500);  // the noise makes plenty of frames
    ASSERT_GT(expectedReplies.size(), 1000);
    ASSERT_TRUE(expectedReplies.endsWith(bytes({2, 5, 7, 0})));

    BoxSim box({"--bad-ack", "3", "--extra-byte"});
    ASSERT_TRUE(box.started());
    Line line(box.device());
    QByteArray received;
    for (qsizetype at = 0; at < input.size();) {
        const qsizetype n = qMin<qsizetype>(1 + random.bounded(700), input.size() - at);
        line.sendDraining(input.mid(at, n), received);
        at += n;
    }
    received += line.receive(static_cast<int>(expectedReplies.size() - received.size()));
    EXPECT_EQ(box.waitForLogLines(static_cast<int>(expectedLog.size())), expectedLog);
    EXPECT_TRUE(received.endsWith(bytes({2, 5, 7, 0})));
    // A reader that stalled long enough makes the box drop bytes, as a wire
    // would; only then may the answers differ.
    if (!box.errorOutput().contains("dropped")) {
        EXPECT_EQ(received, expectedReplies);
    }
    EXPECT_EQ(box.stop(), 0);
    EXPECT_EQ(box.savedImage(), model.memory());
}

// The box starts from the first 32768 bytes of an image file and, ended by
// SIGINT, saves what was written to it.
TEST(BoxSim, StartsFromAnImageFileAndSavesOnSigint)
{
    QTemporaryDir dir;
    QByteArray image(32768, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i % 251);
    const QString path = dir.filePath("custom.bin");
    ASSERT_TRUE(testenv::writeFile(path, image + QByteArray(100, '\xEE')));
    const QString saved = dir.filePath("after.bin");
    BoxSim box({"--image", path, "--save-on-exit", saved});
    ASSERT_TRUE(box.started());
    {
        Line line(box.device());
        EXPECT_EQ(line.exchange(Frames::ReadRequest(0x7F00, 256), 257), readReply(image, 0x7F00, 256));
        EXPECT_EQ(line.exchange(Frames::WriteRequest(0x7B00, QByteArray(16, '\x09')), 1), QByteArray("O"));
    }
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
        Line line(link);
        ASSERT_TRUE(line.isOpen());
        EXPECT_EQ(line.exchange(Frames::VersionRequest(), 3), bytes({2, 5, 7}));
        EXPECT_EQ(box.stop(), 0);
    }
    EXPECT_FALSE(QFileInfo::exists(link));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
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
        {{"--image", shortImage, "--stock", "105"}, "exclude"},
        {{"--stock", "999"}, "Could not find requested resource."},
        {{"--stock", "many"}, "--stock"},
        {{"--version-bytes", "1,2"}, "--version-bytes"},
        {{"--version-bytes", "1,2,256"}, "--version-bytes"},
        {{"--bad-ack", "0"}, "--bad-ack"},
        {{"--bad-read-checksum"}, "--bad-read-checksum"},
        {{"--silent-after", "-1"}, "--silent-after"},
        {{"--trickle", "x"}, "--trickle"},
        {{"--save-on-exit", dir.filePath("no/such/folder/out.bin")}, "does not exist"},
        {{"--save-on-exit", dir.filePath("pipe")}, "is a pipe, not a regular file"},
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"extra"}, "unknown option extra"},
        {{"--link", dir.filePath("precious.txt")}, "not a symbolic link"},
    };
    for (const Case &c : cases) {
        const testenv::ProcessResult r = testenv::run(testenv::binary("vantrelle-boxsim"), c.args, 10000);
        const std::string what = c.args.join(' ').toStdString();
        ASSERT_TRUE(r.finished) << what;
        EXPECT_EQ(r.exitCode, 2) << what;
        EXPECT_TRUE(r.out.isEmpty()) << what;
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
    Line line(box.device());
    EXPECT_EQ(line.exchange(Frames::VersionRequest(), 3), bytes({2, 5, 7}));
}

TEST(BoxSim, KilledBoxTakesItsDeviceAway)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    Line line(box.device());
    EXPECT_EQ(line.exchange(Frames::VersionRequest(), 3), bytes({2, 5, 7}));
    box.kill();
    EXPECT_FALSE(box.isRunning());
    // The line reports the hang-up instead of waiting for bytes forever.
    QByteArray ignored;
    EXPECT_TRUE(line.waitFor(POLLIN, ReplyTimeoutMs));
    EXPECT_FALSE(line.readSome(ignored));
    EXPECT_TRUE(box.savedImage().isEmpty());
}
