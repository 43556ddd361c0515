// The link's reply handling: an exchange (handshake, bulk tune read or write,
// ROM read or write, real-time write) against a port whose every incoming
// byte, every clock step and every tick comes from the fuzzer. Whatever
// arrives, the exchange sends only well-formed frames, keeps its progress in
// range and ends within the time-outs once the line goes quiet.
//
// Input: one byte choosing the exchange (and, for a real-time write, three
// more choosing its frame), then operations of one byte each:
//   xxxxxx00  the next xxxxxx + 1 bytes arrive as one chunk
//   xxxxxx01  a well-formed answer to the last request arrives (the box's
//             memory holds a fixed pattern; x = 1 spoils its last byte)
//   xxxxxx10  the clock moves on xxxxxx x 10 ms, then a tick
//   ------11  a data notification

#include "FuzzCheck.h"
#include "support/ScriptedPort.h"

#include "link/BulkTransfer.h"
#include "link/Frames.h"
#include "link/Handshake.h"
#include "link/RealTimeWrite.h"
#include "link/RomTransfer.h"
#include "model/TuneItems.h"

#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace {

class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_pos >= m_size; }
    int byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    QByteArray bytes(std::size_t n)
    {
        n = std::min(n, m_size - std::min(m_pos, m_size));
        QByteArray out(reinterpret_cast<const char *>(m_data + m_pos), static_cast<qsizetype>(n));
        m_pos += n;
        return out;
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// A folder for the ROM transfer's files, with a 32 KB image to write.
struct Files
{
    Files()
    {
        QFile image(imagePath());
        QByteArray bytes(RomTransferExchange::ImageSize, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i * 7 + (i >> 8));
        if (!image.open(QIODevice::WriteOnly) || image.write(bytes) != bytes.size())
            std::abort();
    }
    QString imagePath() const { return folder.filePath(QStringLiteral("image.bin")); }
    QString readPath() const { return folder.filePath(QStringLiteral("read.bin")); }
    QTemporaryDir folder;
};

int addressOf(const QByteArray &frame)
{
    return Frames::MakeWord(static_cast<std::uint8_t>(frame[2]), static_cast<std::uint8_t>(frame[3]));
}

// What the box would answer to a request, from a memory holding a pattern.
QByteArray answerTo(const QByteArray &frame, bool spoil)
{
    QByteArray answer;
    if (frame == Frames::VersionRequest()) {
        answer = QByteArray("\x02\x05\x07", 3);
    } else if (frame.size() >= 5 && frame[0] == Frames::ReadCommand) {
        const int address = addressOf(frame);
        for (int i = 0; i < Frames::CountFromByte(frame[1]); ++i)
            answer.append(static_cast<char>((address + i) * 7 + ((address + i) >> 8)));
        answer.append(static_cast<char>(Frames::Sum8(answer)));
    } else {
        answer = QByteArray(1, Frames::Acknowledge);
    }
    if (spoil)
        answer.back() = static_cast<char>(answer.back() ^ 0x01);
    return answer;
}

bool wellFormed(const QByteArray &frame)
{
    if (frame == Frames::VersionRequest())
        return true;
    if (frame.size() < 5 || !Frames::IsChecksumValid(frame))
        return false;
    const int count = Frames::CountFromByte(frame[1]);
    const int address = addressOf(frame);
    if (address + count > 0x8000)
        return false;
    if (frame[0] == Frames::ReadCommand)
        return frame.size() == 5;
    return (frame[0] == Frames::WriteCommand || frame[0] == Frames::RealTimeCommand) && frame.size() == 5 + count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static Files files;
    Input in(data, size);
    ScriptedPort port;
    ManualLinkClock clock;
    Tune tune;
    std::unique_ptr<LinkExchange> exchange;
    const int kind = in.byte() % 6;
    switch (kind) {
    case 0:
        exchange = std::make_unique<HandshakeExchange>(port, clock, HandshakeTimings::Fast());
        break;
    case 1:
    case 2:
        port.ForceOpen();
        exchange = std::make_unique<BulkTransferExchange>(
            port, clock, tune, kind == 1 ? TransferDirection::Read : TransferDirection::Write);
        break;
    case 3:
        port.ForceOpen();
        QFile::remove(files.readPath());
        exchange = std::make_unique<RomTransferExchange>(port, clock, files.readPath(), TransferDirection::Read);
        break;
    case 4:
        port.ForceOpen();
        exchange = std::make_unique<RomTransferExchange>(port, clock, files.imagePath(), TransferDirection::Write);
        break;
    default: {
        port.ForceOpen();
        const std::optional<TuneItem> item = ItemFromNumber(in.byte() % 25);
        const int index = static_cast<std::int8_t>(in.byte());
        const int value = in.byte() * 2 - 128;
        exchange = std::make_unique<RealTimeWriteExchange>(
            port, clock, item ? RealTimeFrame(*item, index, value, tune) : QByteArray());
        break;
    }
    }

    exchange->Start();
    while (!in.atEnd() && !exchange->Finished()) {
        const int op = in.byte();
        switch (op & 3) {
        case 0:
            port.Deliver(in.bytes(static_cast<std::size_t>((op >> 2) + 1)));
            break;
        case 1:
            if (!port.sent.isEmpty())
                port.Deliver(answerTo(port.sent.back(), (op >> 2) == 1));
            break;
        case 2:
            clock.Advance((op >> 2) * 10);
            exchange->Tick();
            break;
        default:
            exchange->DataArrived();
            break;
        }
        FUZZ_CHECK(exchange->Progress() >= 0 && exchange->Progress() <= exchange->ProgressMaximum());
    }
    // The line goes quiet: every exchange ends within its time-outs.
    for (int tick = 0; tick < 100 && !exchange->Finished(); ++tick) {
        clock.Advance(100);
        exchange->Tick();
    }
    FUZZ_CHECK(exchange->Finished());
    for (const QByteArray &frame : port.sent)
        FUZZ_CHECK(wellFormed(frame));
    // Success only when every item or block went across.
    const bool ok = exchange->Outcome().ok();
    if (kind == 0)
        FUZZ_CHECK(port.IsOpen() == ok);
    if ((kind == 1 || kind == 2) && ok)
        FUZZ_CHECK(static_cast<BulkTransferExchange &>(*exchange).ItemsDone() == static_cast<int>(TransferWalk().size()));
    if ((kind == 3 || kind == 4) && ok)
        FUZZ_CHECK(static_cast<RomTransferExchange &>(*exchange).BlocksDone() == RomTransferExchange::Blocks);
    if (kind == 3 && ok)
        FUZZ_CHECK(QFile(files.readPath()).size() == RomTransferExchange::ImageSize);
    return 0;
}
