// The rules every file of the program is read and written by, on real
// folders, pipes, sockets, devices and links: a writer never replaces what is
// not a regular file nor its own input, and a read never takes more than the
// format holds nor waits on a pipe.

#include "model/ImageFile.h"
#include "model/ProjectFile.h"
#include "platform/FileIO.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

mode_t typeAt(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

class FileIOTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }

    // A folder, a pipe, a socket, a link to the pipe and, where the system
    // lets us make one, a device node (the null device).
    QStringList specialFiles()
    {
        QStringList made;
        EXPECT_TRUE(QDir(dir.path()).mkdir("folder"));
        EXPECT_TRUE(testenv::makeFifo(path("pipe")));
        EXPECT_TRUE(QFile::link(path("pipe"), path("link-to-pipe")));
        made << path("folder") << path("pipe") << path("link-to-pipe");

        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray socketPath = QFile::encodeName(path("socket"));
        std::strncpy(address.sun_path, socketPath.constData(), sizeof(address.sun_path) - 1);
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
        ::close(fd);
        made << path("socket");

        if (::mknod(QFile::encodeName(path("device")).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
            made << path("device");
        else
            std::printf("No device node of our own (%s): devices are tried as /dev/zero for reading only.\n",
                        std::strerror(errno));
        return made;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(FileIOTest, EveryWriterRefusesATargetThatIsNotARegularFileAndLeavesItAlone)
{
    const QString source = path("source.csv");
    ASSERT_TRUE(testenv::writeFile(source, "Time,RPM\n0,900\n"));
    const std::pair<const char *, std::function<FileOutcome(const QString &)>> writers[] = {
        {"project", [](const QString &p) { return WriteProjectFile(p, Tune()); }},
        {"image", [](const QString &p) { return WriteImageFile(p, QByteArray(ImageFormat::Size, '\0')); }},
        {"copy", [&](const QString &p) { return CopyFileAtomically(source, p); }},
    };
    for (const QString &target : specialFiles()) {
        const mode_t before = typeAt(target);
        for (const auto &[what, write] : writers) {
            SCOPED_TRACE(what + (" over " + target).toStdString());
            const FileOutcome outcome = write(target);
            EXPECT_TRUE(!outcome.ok && outcome.error.contains(target) && outcome.error.contains("not a regular file"))
                << outcome.error.toStdString();
            EXPECT_EQ(typeAt(target), before);
        }
    }
    EXPECT_EQ(typeAt(path("pipe")), S_IFIFO) << "the link's pipe is still a pipe";
}

TEST_F(FileIOTest, ReadsTakeRegularFilesOnlyAndNeverWaitOnAPipe)
{
    QStringList sources = specialFiles();
    sources << "/dev/zero";
    // A writer holds the pipe open with more in it than every read here could
    // take: a read that went ahead would return at once with data instead of
    // being refused, and never hang the test.
    const int writer = ::open(QFile::encodeName(path("pipe")).constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_GE(::fcntl(writer, F_SETPIPE_SZ, 256 * 1024), 256 * 1024);
    const QByteArray filler(200000, '\x31');
    ASSERT_EQ(::write(writer, filler.constData(), filler.size()), filler.size());
    for (const QString &source : sources) {
        SCOPED_TRACE(source.toStdString());
        QByteArray image;
        const FileOutcome asImage = ReadImageFile(source, image);
        Tune tune;
        const FileOutcome asProject = ReadProjectFile(source, tune);
        for (const FileOutcome &outcome : {asImage, asProject})
            EXPECT_TRUE(!outcome.ok && outcome.error.contains(source)) << outcome.error.toStdString();
        EXPECT_TRUE(image.isEmpty());
    }
    ::close(writer);
}

TEST_F(FileIOTest, AnOutputThatIsAnInputIsRefusedByWhateverPathItIsNamed)
{
    const QString input = path("a.json");
    const QByteArray contents = "{\"maps\": {}}";
    ASSERT_TRUE(testenv::writeFile(input, contents));
    ASSERT_TRUE(testenv::writeFile(path("twin.json"), contents));
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    ASSERT_TRUE(QFile::link(input, path("link.json")));
    ASSERT_EQ(::link(QFile::encodeName(input).constData(), QFile::encodeName(path("hard.json")).constData()), 0);

    const struct
    {
        QString output;
        bool refused;
    } cases[] = {
        {input, true},
        {path("sub/../a.json"), true},
        {path("link.json"), true},
        {path("hard.json"), true},
        {path("twin.json"), false}, // the same bytes in another file
        {path("new.json"), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.output.toStdString());
        const FileOutcome outcome = CheckOutputFile(c.output, {path("other.bin"), input});
        EXPECT_EQ(outcome.ok, !c.refused) << outcome.error.toStdString();
        if (c.refused) {
            EXPECT_TRUE(outcome.error.contains(c.output) && outcome.error.contains(input));
        }
    }
    EXPECT_FALSE(CopyFileAtomically(input, path("link.json")).ok);
    EXPECT_EQ(testenv::readFile(input), contents);

    // A read-only file is kept, even for a user the permissions let through.
    ASSERT_TRUE(QFile::setPermissions(path("twin.json"), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_TRUE(CheckOutputFile(path("twin.json")).error.contains("is not writable"));
    EXPECT_FALSE(WriteFileAtomically(path("twin.json"), "new").ok);
    EXPECT_EQ(testenv::readFile(path("twin.json")), contents);
    ASSERT_TRUE(QFile::setPermissions(path("twin.json"), QFileDevice::ReadOwner | QFileDevice::WriteOwner));

    // A link to a regular file is written through: the link stays a link.
    ASSERT_TRUE(CopyFileAtomically(path("twin.json"), path("copy.json")));
    ASSERT_TRUE(QFile::link(path("copy.json"), path("to-copy.json")));
    ASSERT_TRUE(WriteImageFile(path("to-copy.json"), QByteArray(ImageFormat::Size, '\7')));
    EXPECT_EQ(std::pair(typeAt(path("to-copy.json")), testenv::readFile(path("copy.json"))),
              std::pair(mode_t(S_IFLNK), QByteArray(ImageFormat::Size, '\7')));
}
