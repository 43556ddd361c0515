// Commands that talk to the box: connect, read-tune, write-tune, read-rom,
// write-rom, rt-write. Each opens the port named by --port, runs the version
// handshake and then its exchange, with the same exchanges the application's
// dialogs run.

#include "CliCommon.h"

#include "link/BulkTransfer.h"
#include "link/ExchangeRunner.h"
#include "link/Handshake.h"
#include "link/RealTimeWrite.h"
#include "link/RomTransfer.h"
#include "model/ImageFile.h"
#include "model/ProjectFile.h"
#include "model/TuneItems.h"
#include "platform/SerialPort.h"

#include <QObject>
#include <cstdio>
#include <unistd.h>

namespace cli {
namespace {

// Progress on stderr, only for a person watching a terminal.
class ProgressLine
{
public:
    explicit ProgressLine(LinkExchange &exchange, const QString &label)
        : m_active(isatty(fileno(stderr)) == 1), m_label(label)
    {
        if (!m_active)
            return;
        m_max = exchange.ProgressMaximum();
        QObject::connect(&exchange, &LinkExchange::progressChanged, [this](int v) {
            m_value = v;
            draw();
        });
        QObject::connect(&exchange, &LinkExchange::itemTextChanged, [this](const QString &t) {
            m_item = t;
            draw();
        });
        draw();
    }
    ~ProgressLine()
    {
        if (m_active) {
            std::fputs("\n", stderr);
            std::fflush(stderr);
        }
    }

private:
    void draw()
    {
        const int percent = m_max > 0 ? static_cast<int>(100LL * m_value / m_max) : 0;
        const QString text = m_item.isEmpty() ? m_label : m_label + QStringLiteral(" ") + m_item;
        std::fprintf(stderr, "\r\033[K%s %3d%%", qPrintable(text), percent);
        std::fflush(stderr);
    }

    bool m_active;
    QString m_label;
    QString m_item;
    int m_max = 100;
    int m_value = 0;
};

LinkOutcome run(LinkExchange &exchange, LinkPort &port, const QString &label)
{
    ProgressLine progress(exchange, label);
    return RunExchange(exchange, port);
}

int failWith(const LinkOutcome &outcome)
{
    return fail(outcome.message.isEmpty() ? QStringLiteral("cancelled") : outcome.message);
}

// Opens the port and runs the handshake; the port stays open on success.
bool connectBox(SerialPort &port, HandshakeExchange &handshake, int &status)
{
    const LinkOutcome outcome = run(handshake, port, QStringLiteral("Connecting"));
    if (!outcome.ok()) {
        status = failWith(outcome);
        return false;
    }
    return true;
}

struct Command
{
    const char *name;
    int args;
    const char *usage;
};

const Command Commands[] = {
    {"connect", 0, "connect takes no arguments"},
    {"read-tune", 1, "read-tune takes OUT.vnt"},
    {"write-tune", 1, "write-tune takes IN.vnt"},
    {"read-rom", 1, "read-rom takes OUT.bin"},
    {"write-rom", 1, "write-rom takes IN.bin"},
    {"rt-write", 3, "rt-write takes ITEM INDEX VALUE"},
};

bool parseNumber(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok, 0); // 100, 0x64
    return ok;
}

// The frame an rt-write sends: VALUE is the byte (0..255), for a table of
// 16-bit values (item 23, the VQ table) the entry's value (0..65535), for the
// version (item 17) the text.
bool realTimeFrame(const QStringList &args, QByteArray &frame, QString &why)
{
    int number = 0, index = 0, value = 0;
    if (!parseNumber(args[0], number) || !parseNumber(args[1], index)) {
        why = QStringLiteral("rt-write: ITEM and INDEX must be numbers");
        return false;
    }
    const std::optional<TuneItem> item = ItemFromNumber(number);
    const auto nowhere = [&] {
        why = QStringLiteral("rt-write: item %1, index %2, value %3 has no place in the box")
                  .arg(args[0], args[1], args[2]);
        return false;
    };
    if (!item)
        return nowhere();
    const TuneItemInfo &info = Info(*item);
    if (info.reach == RealTimeReach::VersionText) {
        frame = RealTimeVersionFrame(args[2]);
        return true;
    }
    if (!parseNumber(args[2], value)) {
        why = QStringLiteral("rt-write: VALUE must be a number");
        return false;
    }
    if (!info.RealTimeWritable()) {
        why = QStringLiteral("rt-write: item %1 is never written in real time").arg(number);
        return false;
    }
    Tune tune;
    if (info.reach == RealTimeReach::WordAtIndex && !StoreItemValue(tune, *item, index, value)) {
        why = QStringLiteral("rt-write: item %1 takes INDEX 0..%2 and VALUE 0..%3")
                  .arg(number)
                  .arg(info.ValueCount() - 1)
                  .arg(info.MaxValue());
        return false;
    }
    frame = RealTimeFrame(*item, index, value, tune);
    return !frame.isEmpty() || nowhere();
}

} // namespace

int runLinkCommand(const QString &command, const QStringList &args, const Options &options)
{
    const Command *found = nullptr;
    for (const Command &c : Commands)
        if (command == QLatin1String(c.name))
            found = &c;
    if (!found)
        return -1;
    if (args.size() != found->args)
        return usage(QString::fromLatin1(found->usage));
    if (options.port.isEmpty())
        return usage(QStringLiteral("%1 needs --port DEVICE").arg(command));

    // Everything that can be checked without the box is checked first, so a
    // wrong argument never costs a handshake.
    Tune tune;
    QByteArray frame;
    if (command == QLatin1String("write-tune")) {
        int status = ExitFailure;
        if (!readProjectToPassOn(args[0], options, tune, status))
            return status;
    } else if (command == QLatin1String("read-tune") || command == QLatin1String("read-rom")) {
        if (FileOutcome out = CheckOutputFile(args[0]); !out)
            return fail(out.error);
    } else if (command == QLatin1String("write-rom")) {
        QByteArray image;
        if (FileOutcome r = ReadImageFile(args[0], image, options.force); !r)
            return fail(r.error + QStringLiteral(" Nothing was sent; give --force to send its first 32768 bytes "
                                                 "anyway."));
    } else if (command == QLatin1String("rt-write")) {
        QString why;
        if (!realTimeFrame(args, frame, why))
            return usage(why);
    }

    SerialPort port;
    port.PrepareForConnect(1, options.port);
    const LinkClock &clock = LinkClock::Steady();
    HandshakeExchange handshake(port, clock, options.fastHandshake ? HandshakeTimings::Fast() : HandshakeTimings{});
    int status = ExitFailure;
    if (!connectBox(port, handshake, status))
        return status;

    if (command == QLatin1String("connect")) {
        print(HardwareVersionText(handshake.MajorVer(), handshake.MinorVer(), handshake.IDVer()).toLatin1() + "\n");
        return ExitOk;
    }
    if (command == QLatin1String("read-tune") || command == QLatin1String("write-tune")) {
        const bool reading = command == QLatin1String("read-tune");
        BulkTransferExchange transfer(port, clock, tune, reading ? TransferDirection::Read : TransferDirection::Write);
        const LinkOutcome outcome = run(transfer, port, reading ? QStringLiteral("Reading") : QStringLiteral("Writing"));
        if (!outcome.ok())
            return failWith(outcome);
        if (reading) {
            // Written only once the whole tune is in: a failed read leaves
            // no file behind and an existing one untouched.
            if (FileOutcome w = WriteProjectFile(args[0], tune); !w)
                return fail(w.error);
        }
        return ExitOk;
    }
    if (command == QLatin1String("read-rom") || command == QLatin1String("write-rom")) {
        const bool reading = command == QLatin1String("read-rom");
        RomTransferExchange transfer(port, clock, args[0], reading ? TransferDirection::Read : TransferDirection::Write);
        if (options.force)
            transfer.AcceptLongerImage();
        const LinkOutcome outcome = run(transfer, port, reading ? QStringLiteral("Reading") : QStringLiteral("Writing"));
        return outcome.ok() ? ExitOk : failWith(outcome);
    }
    // rt-write
    RealTimeWriteExchange write(port, clock, frame);
    const LinkOutcome outcome = RunExchange(write, port);
    return outcome.ok() ? ExitOk : failWith(outcome);
}

} // namespace cli
