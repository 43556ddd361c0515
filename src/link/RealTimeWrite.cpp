#include "link/RealTimeWrite.h"

#include "link/Frames.h"
#include "link/LinkMessages.h"
#include "model/CVGeneralInfo.h"

QByteArray RealTimeFrame(TuneItem item, int index, int value, const Tune &tune)
{
    const TuneItemInfo &info = Info(item);
    const QByteArray byte(1, static_cast<char>(value));
    const bool byteValue = value >= 0 && value <= 255;
    switch (info.reach) {
    case RealTimeReach::EntryAtIndex:
        if (index < 0 || index >= info.size || !byteValue)
            return {};
        return Frames::RealTimeRequest(info.address + index, byte);
    case RealTimeReach::FixedAddress:
        return byteValue ? Frames::RealTimeRequest(info.address, byte) : QByteArray();
    case RealTimeReach::VersionText:
        return Frames::RealTimeRequest(info.address, tune.general().VersionBytes());
    case RealTimeReach::WordAtIndex: {
        const std::optional<int> word = ItemValue(tune, item, index);
        if (!word)
            return {};
        QByteArray data(2, '\0');
        data[0] = static_cast<char>(Frames::HiByte(*word));
        data[1] = static_cast<char>(Frames::LoByte(*word));
        return Frames::RealTimeRequest(info.address + 2 * index, data);
    }
    case RealTimeReach::Never:
    case RealTimeReach::NotInBox:
        break;
    }
    return {};
}

QByteArray RealTimeVersionFrame(const QString &text)
{
    CVGeneralInfo g;
    g.SetVersion(text);
    return Frames::RealTimeRequest(Info(TuneItem::Version).address, g.VersionBytes());
}

QByteArray RealTimeBytesFrame(TuneItem item, int offset, const QByteArray &data)
{
    const TuneItemInfo &info = Info(item);
    if (!info.RealTimeWritable() || data.isEmpty() || data.size() > Frames::MaxData || offset < 0)
        return {};
    if (offset + data.size() > info.size)
        return {};
    return Frames::RealTimeRequest(info.address + offset, data);
}

RealTimeTarget RealTimeFrameTarget(const QByteArray &frame)
{
    if (frame.size() < 6 || frame[0] != Frames::RealTimeCommand)
        return {};
    const int count = Frames::CountFromByte(frame[1]);
    if (frame.size() != 5 + count)
        return {};
    const int address = Frames::MakeWord(static_cast<std::uint8_t>(frame[2]), static_cast<std::uint8_t>(frame[3]));
    for (const TuneItemInfo &info : TuneItems()) {
        if (info.InBox() && address >= info.address && address + count <= info.address + info.size)
            return {info.item, address - info.address, frame.mid(4, count)};
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
