// vantrelle-boxsim: a simulated Vantrelle box on a pseudo-terminal, for tests,
// demonstrations and work without the hardware. It answers the version, read,
// block write and real-time write frames from a 32 KB memory image, and can
// show the faults a real link shows.

#include "BoxEngine.h"
#include "BoxServer.h"
#include "PseudoTerminal.h"

#include "model/ImageFile.h"
#include "platform/StandardOutput.h"
#include "model/StockPrograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace {

constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;  // the line or the saved image failed
constexpr int ExitUsage = 2;    // bad options or inputs

const char *const HelpText =
    "Usage: vantrelle-boxsim [OPTIONS]\n"
    "\n"
    "A simulated Vantrelle box on a pseudo-terminal. Prints the device to open as\n"
    "its first line on stdout, then answers requests until SIGTERM, SIGINT or\n"
    "SIGHUP.\n"
    "\n"
    "Memory image (32768 bytes):\n"
    "  --image FILE.bin          start from a raw image file\n"
    "  --stock N                 start from stock image N (105, 104, 103, 101)\n"
    "                            of vntres.dll beside the program (default 105)\n"
    "  --save-on-exit FILE       write the image to FILE when the box ends\n"
    "\n"
    "Line:\n"
    "  --link PATH               make PATH a symbolic link to the device\n"
    "                            (an existing link is replaced; removed on exit)\n"
    "  --log FILE                every received frame in hex, one per line\n"
    "  --pace                    every byte takes its 115200-baud wire time\n"
    "                            (86.8 us), in both directions\n"
    "  --trickle MS              reply bytes one at a time, MS ms apart\n"
    "  --trickle-after N         trickle only the replies after the first N\n"
    "\n"
    "Answers and faults:\n"
    "  --version-bytes M,N,ID    version answer (default 2,5,7)\n"
    "  --refuse-version          answer the version request with 0x3F 0x00 0x00\n"
    "  --never-answer            log every frame, answer none\n"
    "  --silent-after N          answer the first N frames, then nothing\n"
    "  --bad-read-checksum N     the Nth read reply carries a wrong checksum\n"
    "  --bad-ack N               the Nth write frame (W and w together) is\n"
    "                            answered 0x58 and not applied\n"
    "  --extra-byte              one extra 0x00 behind every reply\n"
    "  --help, -h                show this text\n"
    "  --version                 show the version\n"
    "\n"
    "A frame with a wrong checksum is answered 0x58 (writes) or not at all\n"
    "(reads); so is a request running past address 0x7FFF. Frames the box does\n"
    "not answer are not applied either. Exit status: 0 after a signal, 1 when the\n"
    "line or the saved image fails, 2 for bad options or inputs.\n";

volatile std::sig_atomic_t stopRequested = 0;
int wakeWriteFd = -1;

extern "C" void onStopSignal(int)
{
    stopRequested = 1;
    if (wakeWriteFd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeWriteFd, &byte, 1);
    }
}

struct Options
{
    QString imagePath;
    int stock = 105;
    bool stockGiven = false;
    QString savePath;
    QString linkPath;
    QString logPath;
    boxsim::BoxFaults faults;
    boxsim::LineTiming timing;
};

int usageError(const QString &message)
{
    std::fprintf(stderr, "vantrelle-boxsim: %s\nTry 'vantrelle-boxsim --help'.\n", qPrintable(message));
    return ExitUsage;
}

// A decimal number, or a hexadecimal one written 0x...
// Bad inputs (files, stock numbers) are not a matter of the command line's form.
int inputError(const QString &message)
{
    std::fprintf(stderr, "vantrelle-boxsim: %s\n", qPrintable(message));
    return ExitUsage;
}

bool parseCount(const QString &text, int low, int high, int &value)
{
    const QString t = text.trimmed();
    bool ok = false;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = t.mid(2).toInt(&ok, 16);
    else
        value = t.toInt(&ok, 10);
    return ok && value >= low && value <= high;
}

// Returns -1 when parsing went through, otherwise the exit status.
int parseOptions(const QStringList &words, Options &options, bool &help, bool &version)
{
    help = false;
    version = false;
    for (int i = 0; i < words.size(); ++i) {
        QString name = words[i];
        QString value;
        bool hasInlineValue = false;
        if (const qsizetype eq = name.indexOf(QLatin1Char('=')); name.startsWith(QLatin1String("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasInlineValue = true;
        }
        const auto takeValue = [&](QString &out) -> bool {
            if (hasInlineValue) {
                out = value;
                return true;
            }
            if (i + 1 >= words.size())
                return false;
            out = words[++i];
            return true;
        };
        const auto flag = [&]() { return !hasInlineValue; };

        QString v;
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            help = true;
            return ExitOk;
        } else if (name == QLatin1String("--version") && flag()) {
            version = true;
            return ExitOk;
        } else if (name == QLatin1String("--image")) {
            if (!takeValue(v) || v.isEmpty())
                return usageError(QStringLiteral("--image needs a file"));
            options.imagePath = v;
        } else if (name == QLatin1String("--stock")) {
            if (!takeValue(v) || !parseCount(v, 0, 65535, options.stock))
                return usageError(QStringLiteral("--stock needs a resource number"));
            options.stockGiven = true;
        } else if (name == QLatin1String("--save-on-exit")) {
            if (!takeValue(v) || v.isEmpty())
                return usageError(QStringLiteral("--save-on-exit needs a file"));
            options.savePath = v;
        } else if (name == QLatin1String("--link")) {
            if (!takeValue(v) || v.isEmpty())
                return usageError(QStringLiteral("--link needs a path"));
            options.linkPath = v;
        } else if (name == QLatin1String("--log")) {
            if (!takeValue(v) || v.isEmpty())
                return usageError(QStringLiteral("--log needs a file"));
            options.logPath = v;
        } else if (name == QLatin1String("--version-bytes")) {
            const QStringList parts = takeValue(v) ? v.split(QLatin1Char(',')) : QStringList();
            int bytes[3] = {};
            if (parts.size() != 3 || !parseCount(parts[0], 0, 255, bytes[0]) || !parseCount(parts[1], 0, 255, bytes[1])
                || !parseCount(parts[2], 0, 255, bytes[2]))
                return usageError(QStringLiteral("--version-bytes needs three bytes 0..255: MAJOR,MINOR,ID"));
            for (int k = 0; k < 3; ++k)
                options.faults.version[k] = static_cast<std::uint8_t>(bytes[k]);
        } else if (name == QLatin1String("--refuse-version") && flag()) {
            options.faults.refuseVersion = true;
        } else if (name == QLatin1String("--never-answer") && flag()) {
            options.faults.silentAfter = 0;
        } else if (name == QLatin1String("--silent-after")) {
            int n = 0;
            if (!takeValue(v) || !parseCount(v, 0, 1 << 30, n))
                return usageError(QStringLiteral("--silent-after needs a number of frames (0 or more)"));
            // --never-answer wins over any --silent-after.
            if (options.faults.silentAfter != 0)
                options.faults.silentAfter = n;
        } else if (name == QLatin1String("--bad-read-checksum")) {
            if (!takeValue(v) || !parseCount(v, 1, 1 << 30, options.faults.badReadChecksum))
                return usageError(QStringLiteral("--bad-read-checksum needs a read number (1 or more)"));
        } else if (name == QLatin1String("--bad-ack")) {
            if (!takeValue(v) || !parseCount(v, 1, 1 << 30, options.faults.badAck))
                return usageError(QStringLiteral("--bad-ack needs a write number (1 or more)"));
        } else if (name == QLatin1String("--extra-byte") && flag()) {
            options.faults.extraByte = true;
        } else if (name == QLatin1String("--trickle")) {
            if (!takeValue(v) || !parseCount(v, 0, 60000, options.timing.trickleMs))
                return usageError(QStringLiteral("--trickle needs milliseconds (0..60000)"));
        } else if (name == QLatin1String("--trickle-after")) {
            if (!takeValue(v) || !parseCount(v, 0, 1 << 30, options.timing.trickleAfter))
                return usageError(QStringLiteral("--trickle-after needs a number of replies (0 or more)"));
        } else if (name == QLatin1String("--pace") && flag()) {
            options.timing.pace = true;
        } else {
            return usageError(QStringLiteral("unknown option %1").arg(words[i]));
        }
    }
    if (options.stockGiven && !options.imagePath.isEmpty())
        return usageError(QStringLiteral("--image and --stock exclude each other"));
    return -1;
}

bool folderExists(const QString &filePath)
{
    return QFileInfo(QFileInfo(filePath).absolutePath()).isDir();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    Options options;
    bool help = false;
    bool version = false;
    if (const int status = parseOptions(app.arguments().mid(1), options, help, version); status >= 0) {
        if (help)
            StandardOutput::Write(HelpText);
        if (version)
            StandardOutput::Write(QStringLiteral("vantrelle-boxsim %1.%2.%3\n")
                                      .arg(VANTRELLE_VERSION_MAJOR)
                                      .arg(VANTRELLE_VERSION_MINOR)
                                      .arg(VANTRELLE_VERSION_PATCH)
                                      .toLatin1());
        return StandardOutput::Failed("vantrelle-boxsim") ? ExitFailure : status;
    }

    // The signals are caught from here on, so a stop that comes as soon as the
    // device is announced still saves the image.
    int wakePipe[2] = {-1, -1};
    if (::pipe(wakePipe) != 0) {
        std::perror("vantrelle-boxsim: pipe");
        return ExitFailure;
    }
    for (int fd : wakePipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    wakeWriteFd = wakePipe[1];
    struct sigaction action{};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    QByteArray image;
    if (!options.imagePath.isEmpty()) {
        // The simulated memory may start from a longer dump: its first
        // 32768 bytes, as always (nothing real is written here).
        if (const FileOutcome read = ReadImageFile(options.imagePath, image, true); !read)
            return inputError(read.error);
    } else {
        const StockImageResult stock = LoadStockImage(options.stock);
        if (stock.status != StockImageResult::Ok)
            return inputError(QStringLiteral("stock image %1: %2").arg(options.stock).arg(stock.message()));
        if (stock.image.size() != boxsim::BoxEngine::MemorySize)
            return inputError(QStringLiteral("stock image %1 holds %2 bytes, not %3")
                                  .arg(options.stock).arg(stock.image.size()).arg(boxsim::BoxEngine::MemorySize));
        image = stock.image;
    }
    if (!options.savePath.isEmpty() && !folderExists(options.savePath))
        return inputError(QStringLiteral("--save-on-exit: the folder of %1 does not exist").arg(options.savePath));
    // Refused now rather than when the box ends. The file may be the --image
    // it started from: that is read whole first and meant to be kept up to date.
    if (!options.savePath.isEmpty())
        if (const FileOutcome target = CheckOutputFile(options.savePath); !target)
            return inputError(QStringLiteral("--save-on-exit: %1").arg(target.error));

    std::FILE *log = nullptr;
    if (!options.logPath.isEmpty()) {
        log = std::fopen(QFile::encodeName(options.logPath).constData(), "w");
        if (!log)
            return inputError(QStringLiteral("cannot write the log %1: %2")
                                  .arg(options.logPath, QString::fromLocal8Bit(std::strerror(errno))));
    }
    const auto closeLog = [&log]() {
        if (log)
            std::fclose(log);
        log = nullptr;
    };

#ifdef __linux__
    // Paced bytes are 87 us apart; the default 50 us timer slack would smear them.
    if (options.timing.pace || options.timing.trickleMs > 0)
        ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
#endif

    PseudoTerminal terminal;
    QString error;
    if (!terminal.open(error)) {
        std::fprintf(stderr, "vantrelle-boxsim: %s\n", qPrintable(error));
        closeLog();
        return ExitFailure;
    }
    DeviceLink link;
    if (!options.linkPath.isEmpty()) {
        bool refused = false;
        if (!link.create(options.linkPath, terminal.devicePath(), error, refused)) {
            std::fprintf(stderr, "vantrelle-boxsim: %s\n", qPrintable(error));
            closeLog();
            return refused ? ExitUsage : ExitFailure;
        }
    }

    // Whoever started the box reads its device from this line: a box nobody
    // can find is of no use, so a failed announcement ends the run.
    if (!StandardOutput::Write(terminal.devicePath().toLocal8Bit() + '\n')) {
        std::fprintf(stderr, "vantrelle-boxsim: cannot announce the device on standard output: %s\n",
                     qPrintable(StandardOutput::Error()));
        link.remove();
        closeLog();
        return ExitFailure;
    }

    boxsim::BoxEngine engine(image, options.faults);
    boxsim::BoxServer server(engine, terminal, options.timing, log);
    const bool served = server.run(stopRequested, wakePipe[0], error);
    if (!served)
        std::fprintf(stderr, "vantrelle-boxsim: %s\n", qPrintable(error));

    link.remove();
    closeLog();
    int status = served ? ExitOk : ExitFailure;
    if (!options.savePath.isEmpty()) {
        if (const FileOutcome saved = WriteImageFile(options.savePath, engine.memory()); !saved) {
            std::fprintf(stderr, "vantrelle-boxsim: cannot save the image: %s\n", qPrintable(saved.error));
            status = ExitFailure;
        }
    }
    return status;
}
