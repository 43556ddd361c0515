#include "link/RealTimeWrite.h"

#include "link/Frames.h"
#include "link/LinkMessages.h"
#include "model/CVGeneralInfo.h"
#include "model/TuneItems.h"

QByteArray RealTimeFrame(int item, int index, int value, const Tune &tune)
{
    const TuneItem *info = FindTuneItem(item);
    if (!info)
        return {};
    switch (item) {
    case 13: case 14: case 15: case AccelEnrichItem:
        return {};
    case 11: case 12: case 16:
        if (value < 0 || value > 255)
            return {};
        return Frames::RealTimeRequest(info->address, QByteArray(1, static_cast<char>(value)));
    case 17:
        return Frames::RealTimeRequest(info->address, tune.general().VersionBytes());
    case 23: {
        const int vq = tune.general().VQ(index);
        if (vq < 0)
            return {};
        QByteArray data(2, '\0');
        data[0] = static_cast<char>(Frames::HiByte(vq));
        data[1] = static_cast<char>(Frames::LoByte(vq));
        return Frames::RealTimeRequest(info->address + 2 * index, data);
    }
    default:
        if (index < 0 || index >= info->size || value < 0 || value > 255)
            return {};
        return Frames::RealTimeRequest(info->address + index, QByteArray(1, static_cast<char>(value)));
    }
}

QByteArray RealTimeVersionFrame(const QString &text)
{
    CVGeneralInfo g;
    g.SetVersion(text);
    return Frames::RealTimeRequest(FindTuneItem(17)->address, g.VersionBytes());
}

QByteArray RealTimeBytesFrame(int item, int offset, const QByteArray &data)
{
    const TuneItem *info = FindTuneItem(item);
    if (!info || data.isEmpty() || data.size() > Frames::MaxData || offset < 0)
        return {};
    switch (item) {
    case 13: case 14: case 15: case AccelEnrichItem:
        return {};
    default:
        break;
    }
    if (offset + data.size() > info->size)
        return {};
    return Frames::RealTimeRequest(info->address + offset, data);
}

RealTimeTarget RealTimeFrameTarget(const QByteArray &frame)
{
    if (frame.size() < 6 || frame[0] != Frames::RealTimeCommand)
        return {};
    const int count = Frames::CountFromByte(frame[1]);
    if (frame.size() != 5 + count)
        return {};
    const int address = Frames::MakeWord(static_cast<std::uint8_t>(frame[2]), static_cast<std::uint8_t>(frame[3]));
    for (const TuneItem &item : TuneItems()) {
        if (item.address >= 0 && address >= item.address && address + count <= item.address + item.size)
            return {item.number, address - item.address, frame.mid(4, count)};
    }
    return {};
}

RealTimeWriteExchange::RealTimeWriteExchange(LinkPort &port, const LinkClock &clock, const QByteArray &frame,
                                             QObject *parent)
    : ReplyExchange(port, clock, false, parent), m_frame(frame)
{
    setStatusText(QString::fromLatin1(LinkMessages::RealTimeLabel));
}

void RealTimeWriteExchange::Start()
{
    if (started() || Finished())
        return;
    markStarted();
    if (m_frame.isEmpty()) {
        finish(LinkOutcome::failure(LinkResult::NotWritable, {}, MsgIcon::None));
        return;
    }
    m_reply.Reset(1, now());
    sendRequest(m_frame);
}

void RealTimeWriteExchange::replyAccepted(QByteArray)
{
    finish(LinkOutcome::success());
}

void RealTimeWriteQueue::Submit(const QByteArray &frame)
{
    m_pending.push_back(frame);
    if (m_running)
        return;
    m_running = true;
    while (!m_pending.empty()) {
        const QByteArray next = m_pending.front();
        m_pending.pop_front();
        m_run(next);
    }
    m_running = false;
}
