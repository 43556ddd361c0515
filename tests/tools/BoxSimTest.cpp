// vantrelle-boxsim as a program: started through the BoxSim helper and talked
// to over its real pseudo-terminal, the way the application talks to a box.

#include "support/BoxSim.h"
#include "support/TestEnv.h"

#include "BoxEngine.h"

#include "link/Frames.h"
#include "model/StockPrograms.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSerialPort>
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
// How long to listen for an answer that must not come, once the box has
// logged the request (it logs before it answers).
constexpr int SilenceMs = 200;

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

    void send(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n > 0)
                done += n;
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                return;
            else
                waitFor(POLLOUT, 10);
        }
    }

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

    // Everything that arrives within ms.
    QByteArray receiveFor(int ms)
    {
        QByteArray got;
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            if (waitFor(POLLIN, static_cast<int>(qMax<qint64>(deadline.remainingTime(), 0))) && !readSome(got))
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
        send(request);
        return receive(replySize);
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

QByteArray corrupted(QByteArray frame)
{
    frame.back() = static_cast<char>(frame.back() + 1);
    return frame;
}

QString hexLine(const QByteArray &frame)
{
    return QString::fromLatin1(frame.toHex(' ').toUpper());
}

} // namespace

TEST(BoxSim, AnswersTheVersionRequest)
{
    struct Case { QStringList args; QByteArray reply; };
    const std::vector<Case> cases = {
        {{}, bytes({2, 5, 7})},
        {{"--version-bytes", "1,7,3"}, bytes({1, 7, 3})},
        {{"--version-bytes=2,12,0"}, bytes({2, 12, 0})},
        {{"--refuse-version"}, bytes({0x3F, 0, 0})},
    };
    for (const Case &c : cases) {
        BoxSim box(c.args);
        ASSERT_TRUE(box.started());
        Line line(box.device());
        ASSERT_TRUE(line.isOpen());
        EXPECT_EQ(line.exchange(Frames::VersionRequest(), 3), c.reply) << c.args.join(' ').toStdString();
    }
}

TEST(BoxSim, ReadsMatchTheStockImage)
{
    struct Case { QStringList args; int stock; };
    for (const Case &c : {Case{{}, 105}, Case{{"--stock", "104"}, 104}, Case{{"--stock", "101"}, 101}}) {
        const QByteArray image = stockImage(c.stock);
        ASSERT_EQ(image.size(), 32768);
        BoxSim box(c.args);
        ASSERT_TRUE(box.started());
        Line line(box.device());
        // The first map of a tune read, a ROM block at each end, a small table.
        EXPECT_EQ(line.exchange(bytes({0x52, 0x00, 0x7D, 0x00, 0xCF}), 257), readReply(image, 0x7D00, 256));
        EXPECT_EQ(line.exchange(Frames::ReadRequest(0x0000, 256), 257), readReply(image, 0x0000, 256));
        EXPECT_EQ(line.exchange(Frames::ReadRequest(0x7F00, 256), 257), readReply(image, 0x7F00, 256));
        EXPECT_EQ(line.exchange(Frames::ReadRequest(0x7B00, 16), 17), readReply(image, 0x7B00, 16));
    }
}

TEST(BoxSim, StartsFromAnImageFile)
{
    QTemporaryDir dir;
    QByteArray image(32768, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i % 251);
    // A longer file holds the image in its first 32768 bytes.
    const QString path = dir.filePath("custom.bin");
    ASSERT_TRUE(testenv::writeFile(path, image + QByteArray(100, '\xEE')));
    BoxSim box({"--image", path});
    ASSERT_TRUE(box.started());
    Line line(box.device());
    EXPECT_EQ(line.exchange(Frames::ReadRequest(0x7F00, 256), 257), readReply(image, 0x7F00, 256));
    EXPECT_EQ(line.exchange(Frames::ReadRequest(0x1234, 7), 8), readReply(image, 0x1234, 7));
    EXPECT_EQ(box.stop(), 0);
    EXPECT_EQ(box.savedImage(), image);
}

TEST(BoxSim, WritesAreReadBackAndSaved)
{
    QByteArray image = stockImage(105);
    BoxSim box;
    ASSERT_TRUE(box.started());
    Line line(box.device());

    const QByteArray map(256, '\x5A');
    struct Case { QByteArray frame; int address; QByteArray data; };
    const std::vector<Case> cases = {
        {Frames::WriteRequest(0x7000, map), 0x7000, map},
        {bytes({0x57, 0x01, 0x7F, 0xB4, 0x64, 0xEF}), 0x7FB4, bytes({0x64})},
        {bytes({0x77, 0x01, 0x7D, 0x05, 0x80, 0x7A}), 0x7D05, bytes({0x80})},
        {Frames::RealTimeRequest(0x6AD1, QByteArray("AB\0\0\0", 5)), 0x6AD1, QByteArray("AB\0\0\0", 5)},
        {Frames::RealTimeRequest(0x7A70 + 2 * 5, bytes({0x01, 0xF4})), 0x7A7A, bytes({0x01, 0xF4})},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(line.exchange(c.frame, 1), QByteArray("O")) << hexLine(c.frame).toStdString();
        image.replace(c.address, c.data.size(), c.data);
        EXPECT_EQ(line.exchange(Frames::ReadRequest(c.address, static_cast<int>(c.data.size())),
                                static_cast<int>(c.data.size()) + 1),
                  readReply(image, c.address, static_cast<int>(c.data.size())));
    }
    EXPECT_EQ(box.stop(), 0);
    EXPECT_EQ(box.savedImage(), image);
}

TEST(BoxSim, RefusedWritesAreAnsweredXAndNotApplied)
{
    const QByteArray image = stockImage(105);
    BoxSim box;
    ASSERT_TRUE(box.started());
    Line line(box.device());
    QByteArray pastEnd = bytes({0x57, 0x02, 0x7F, 0xFF, 0x01, 0x02});
    pastEnd.append(static_cast<char>(Frames::Sum8(pastEnd)));
    for (const QByteArray &frame : {corrupted(Frames::WriteRequest(0x7D00, QByteArray(256, 'a'))),
                                    corrupted(Frames::RealTimeRequest(0x7FB4, bytes({0x01}))), pastEnd})
        EXPECT_EQ(line.exchange(frame, 1), QByteArray("X")) << hexLine(frame).toStdString();

    // A read with a bad checksum, or running past 0x7FFF, is not answered;
    // the next request is.
    QByteArray readPastEnd = bytes({0x52, 0x20, 0x7F, 0xF0});
    readPastEnd.append(static_cast<char>(Frames::Sum8(readPastEnd)));
    line.send(corrupted(Frames::ReadRequest(0x7D00, 256)));
    line.send(readPastEnd);
    ASSERT_EQ(box.waitForLogLines(5).size(), 5);
    EXPECT_TRUE(line.receiveFor(SilenceMs).isEmpty());
    EXPECT_EQ(line.exchange(Frames::VersionRequest(), 3), bytes({2, 5, 7}));

    EXPECT_EQ(box.stop(), 0);
    EXPECT_EQ(box.savedImage(), image);
}

TEST(BoxSim, NeverAnswerLogsEverythingAndAnswersNothing)
{
    const QByteArray image = stockImage(105);
    BoxSim box({"--never-answer"});
    ASSERT_TRUE(box.started());
    Line line(box.device());
    const std::vector<QByteArray> frames = {Frames::VersionRequest(), Frames::ReadRequest(0x7D00, 256),
                                            Frames::WriteRequest(0x7FB4, bytes({0x10}))};
    for (const QByteArray &f : frames)
        line.send(f);
    const QStringList log = box.waitForLogLines(3);
    ASSERT_EQ(log.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(log[i], hexLine(frames[i]));
    EXPECT_TRUE(line.receiveFor(SilenceMs).isEmpty());
    EXPECT_EQ(box.stop(), 0);
    EXPECT_EQ(box.savedImage(), image);
}

TEST(BoxSim, SilentAfterAnswersOnlyTheFirstFrames)
{
    const QByteArray image = stockImage(105);
    BoxSim box({"--silent-after", "2"});
    ASSERT_TRUE(box.started());
    Line line(box.device());
    EXPECT_EQ(line.exchange(Frames::VersionRequest(), 3), bytes({2, 5, 7}));
    EXPECT_EQ(line.exchange(Frames::ReadRequest(0x7B00, 16), 17), readReply(image, 0x7B00, 16));
    line.send(Frames::WriteRequest(0x7FB4, bytes({0x10})));
    line.send(Frames::VersionRequest());
    ASSERT_EQ(box.waitForLogLines(4).size(), 4);
    EXPECT_TRUE(line.receiveFor(SilenceMs).isEmpty());
    EXPECT_EQ(box.stop(), 0);
    EXPECT_EQ(box.savedImage(), image);
}

TEST(BoxSim, BadReadChecksumOnTheNthRead)
{
    const QByteArray image = stockImage(105);
    BoxSim box({"--bad-read-checksum", "2"});
    ASSERT_TRUE(box.started());
    Line line(box.device());
    const QByteArray good = readReply(image, 0x7C00, 256);
    for (int n = 1; n <= 3; ++n) {
        const QByteArray reply = line.exchange(Frames::ReadRequest(0x7C00, 256), 257);
        ASSERT_EQ(reply.size(), 257);
        EXPECT_EQ(reply.left(256), good.left(256)) << n;
        EXPECT_EQ(Frames::IsChecksumValid(reply), n != 2) << n;
    }
}

TEST(BoxSim, BadAckOnTheNthWriteFrame)
{
    QByteArray image = stockImage(105);
    BoxSim box({"--bad-ack", "2"});
    ASSERT_TRUE(box.started());
    Line line(box.device());
    EXPECT_EQ(line.exchange(Frames::WriteRequest(0x7FB4, bytes({0x64})), 1), QByteArray("O"));
    EXPECT_EQ(line.exchange(Frames::RealTimeRequest(0x7FA5, bytes({0x50})), 1), QByteArray("X"));
    EXPECT_EQ(line.exchange(Frames::RealTimeRequest(0x79F6, bytes({0x33})), 1), QByteArray("O"));
    image[0x7FB4] = '\x64';
    image[0x79F6] = '\x33';
    EXPECT_EQ(box.stop(), 0);
    EXPECT_EQ(box.savedImage(), image);
}

TEST(BoxSim, ExtraByteAfterEveryReply)
{
    const QByteArray image = stockImage(105);
    BoxSim box({"--extra-byte"});
    ASSERT_TRUE(box.started());
    Line line(box.device());
    EXPECT_EQ(line.exchange(Frames::VersionRequest(), 4), bytes({2, 5, 7, 0}));
    EXPECT_EQ(line.exchange(Frames::ReadRequest(0x7B00, 16), 18), readReply(image, 0x7B00, 16) + QByteArray(1, '\0'));
    EXPECT_EQ(line.exchange(Frames::WriteRequest(0x7FB4, bytes({0x64})), 2), QByteArray("O", 2));
    EXPECT_TRUE(line.receiveFor(SilenceMs).isEmpty());
}

TEST(BoxSim, TrickledReplyArrivesWholeButSlowly)
{
    const QByteArray image = stockImage(105);
    BoxSim box({"--trickle", "5"});
    ASSERT_TRUE(box.started());
    Line line(box.device());
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(line.exchange(Frames::ReadRequest(0x7B00, 16), 17), readReply(image, 0x7B00, 16));
    // Sixteen gaps of 5 ms at the least; no upper bound.
    EXPECT_GE(clock.elapsed(), 16 * 5 - 1);
}

TEST(BoxSim, PacedReplyTakesItsWireTime)
{
    const QByteArray image = stockImage(105);
    BoxSim box({"--pace"});
    ASSERT_TRUE(box.started());
    Line line(box.device());
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(line.exchange(Frames::ReadRequest(0x7D00, 256), 257), readReply(image, 0x7D00, 256));
    // 257 bytes at 86.8 us each are 22.3 ms on the wire; a lower bound only.
    EXPECT_GE(clock.elapsed(), 20);
}

TEST(BoxSim, SplitRequestsAreReassembled)
{
    const QByteArray image = stockImage(105);
    BoxSim box;
    ASSERT_TRUE(box.started());
    Line line(box.device());
    const QByteArray map(256, '\x21');
    const QByteArray write = Frames::WriteRequest(0x7200, map);
    for (const QByteArray &piece : {write.left(3), write.mid(3, 100), write.mid(103)}) {
        line.send(piece);
        QThread::msleep(20);
    }
    EXPECT_EQ(line.receive(1), QByteArray("O"));
    const QByteArray read = Frames::ReadRequest(0x7200, 256);
    for (char b : read) {
        line.send(QByteArray(1, b));
        QThread::msleep(5);
    }
    EXPECT_EQ(line.receive(257), readReply(QByteArray(image).replace(0x7200, 256, map), 0x7200, 256));
}

TEST(BoxSim, GarbageIsSkippedUntilARequestLinesUp)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    Line line(box.device());
    // Bytes that start no request, and a V without its partner.
    line.send(bytes({0x00, 0xFF, 0x4F, 0x58, 0x3F, 0x0D, 0x0A, 0x56, 0x01}));
    EXPECT_EQ(line.exchange(Frames::VersionRequest(), 3), bytes({2, 5, 7}));
    EXPECT_TRUE(line.receiveFor(SilenceMs).isEmpty());
    EXPECT_EQ(box.logLines(), QStringList{"56 56"});
}

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

TEST(BoxSim, SaveOnExitAfterSigint)
{
    QByteArray image = stockImage(103);
    QTemporaryDir dir;
    const QString saved = dir.filePath("after.bin");
    BoxSim box({"--stock", "103", "--save-on-exit", saved});
    ASSERT_TRUE(box.started());
    EXPECT_EQ(box.imagePath(), saved);
    {
        Line line(box.device());
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

TEST(BoxSim, LinkNeverReplacesAnOrdinaryFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("precious.txt");
    ASSERT_TRUE(testenv::writeFile(path, "keep me"));
    const testenv::ProcessResult r = testenv::run(testenv::binary("vantrelle-boxsim"), {"--link", path}, 10000);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains("not a symbolic link")) << r.err.constData();
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(testenv::readFile(path), QByteArray("keep me"));
}

TEST(BoxSim, LogHoldsOneFrameALineInUpperCaseHex)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    Line line(box.device());
    line.exchange(Frames::VersionRequest(), 3);
    line.exchange(Frames::ReadRequest(0x7D00, 256), 257);
    line.exchange(Frames::WriteRequest(0x7FB4, bytes({0x64})), 1);
    line.exchange(Frames::RealTimeRequest(0x7D05, bytes({0x80})), 1);
    const QStringList expected = {"56 56", "52 00 7D 00 CF", "57 01 7F B4 64 EF", "77 01 7D 05 80 7A"};
    EXPECT_EQ(box.logLines(), expected);
    EXPECT_EQ(box.stop(), 0);
    EXPECT_EQ(testenv::readFile(box.logPath()), expected.join('\n').toLatin1() + '\n');
}

TEST(BoxSim, BadOptionsAndInputsAreRefused)
{
    QTemporaryDir dir;
    const QString shortImage = dir.filePath("short.bin");
    ASSERT_TRUE(testenv::writeFile(shortImage, QByteArray(32767, '\0')));
    ASSERT_TRUE(testenv::makeFifo(dir.filePath("pipe")));
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
    };
    for (const Case &c : cases) {
        const testenv::ProcessResult r = testenv::run(testenv::binary("vantrelle-boxsim"), c.args, 10000);
        const std::string what = c.args.join(' ').toStdString();
        ASSERT_TRUE(r.finished) << what;
        EXPECT_EQ(r.exitCode, 2) << what;
        EXPECT_TRUE(r.out.isEmpty()) << what;
        EXPECT_TRUE(r.err.contains(c.message)) << what << ": " << r.err.constData();
    }
    const testenv::ProcessResult help = testenv::run(testenv::binary("vantrelle-boxsim"), {"--help"}, 10000);
    EXPECT_EQ(help.exitCode, 0);
    for (const char *option : {"--image", "--stock", "--save-on-exit", "--link", "--version-bytes", "--refuse-version",
                               "--never-answer", "--bad-read-checksum", "--bad-ack", "--silent-after", "--extra-byte",
                               "--trickle", "--pace", "--log", "--help"})
        EXPECT_TRUE(help.out.contains(option)) << option;
}

TEST(BoxSim, ServesOneUserAfterAnother)
{
    BoxSim box;
    ASSERT_TRUE(box.started());
    for (int round = 0; round < 2; ++round) {
        {
            Line line(box.device());
            ASSERT_TRUE(line.isOpen());
            EXPECT_EQ(line.exchange(Frames::VersionRequest(), 3), bytes({2, 5, 7}));
        }
        QSerialPort port(box.device());
        ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << port.errorString().toStdString();
        port.setBaudRate(115200);
        port.write(Frames::VersionRequest());
        QByteArray reply;
        QDeadlineTimer deadline(ReplyTimeoutMs);
        while (reply.size() < 3 && !deadline.hasExpired())
            if (port.waitForReadyRead(100) || port.bytesAvailable() > 0)
                reply += port.readAll();
        EXPECT_EQ(reply, bytes({2, 5, 7}));
        port.close();
    }
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
