#include "link/Frames.h"

namespace Frames {

std::uint8_t Sum8(const QByteArray &bytes)
{
    std::uint32_t sum = 0;
    for (char c : bytes)
        sum += static_cast<std::uint8_t>(c);
    return static_cast<std::uint8_t>(sum & 0xFF);
}

std::uint8_t ComputeChecksum(const QByteArray &frame)
{
    return frame.isEmpty() ? 0 : Sum8(frame.left(frame.size() - 1));
}

bool IsChecksumValid(const QByteArray &frame)
{
    return !frame.isEmpty() && static_cast<std::uint8_t>(frame.back()) == ComputeChecksum(frame);
}

QByteArray VersionRequest()
{
    return QByteArray(2, VersionCommand);
}

namespace {

QByteArray request(char command, int address, int count, const QByteArray &data)
{
    QByteArray frame;
    frame.reserve(5 + data.size());
    frame.append(command);
    frame.append(CountByte(count));
    frame.append(static_cast<char>(HiByte(address)));
    frame.append(static_cast<char>(LoByte(address)));
    frame.append(data);
    frame.append(static_cast<char>(Sum8(frame)));
    return frame;
}

} // namespace

QByteArray ReadRequest(int address, int count)
{
    return request(ReadCommand, address, count, {});
}

QByteArray WriteRequest(int address, const QByteArray &data)
{
    return request(WriteCommand, address, static_cast<int>(data.size()), data);
}

QByteArray RealTimeRequest(int address, const QByteArray &data)
{
    return request(RealTimeCommand, address, static_cast<int>(data.size()), data);
}

} // namespace Frames
