#pragma once

#include "link/ReplyExchange.h"
#include "link/LinkIO.h"
#include "model/Tune.h"
#include "model/TuneItems.h"

#include <QByteArray>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

// The frame that writes one changed value into the box at once:
// 0x77, count, address, data, checksum, laid out by the item's reach
// (TuneItemInfo::reach):
//
//   EntryAtIndex  one byte at the item's address + index (maps, axes, tables)
//   FixedAddress  one byte at the item's address, index ignored
//   VersionText   the tune's five version bytes
//   WordAtIndex   the entry's 16-bit value as the tune holds it, high byte
//                 first, two bytes at the address + 2 x index (the VQ table)
//
// Items never written in real time (the injector parameters, the
// acceleration enrichment table) give an empty result, and so do an index
// outside the item and a byte value outside 0..255: nothing is sent, so
// nothing can land outside the item's place in the box.
QByteArray RealTimeFrame(TuneItem item, int index, int value, const Tune &tune);
// The version write: the text's first five characters, 0x00 where shorter.
QByteArray RealTimeVersionFrame(const QString &text);
// A block of adjacent bytes of one item in one frame with a count above 1:
// data (1..256 bytes) at the item's address + offset. Empty (nothing to send)
// for the items never written in real time and for a block that would reach
// outside the item.
QByteArray RealTimeBytesFrame(TuneItem item, int offset, const QByteArray &data);

// Where a real-time write frame lands: the item whose place in the box holds
// the frame's whole block, the block's first byte within the item and the
// bytes. No item when the frame is not a real-time write that lands inside
// one item.
struct RealTimeTarget
{
    std::optional<TuneItem> item;
    int offset = 0;
    QByteArray data;
};
RealTimeTarget RealTimeFrameTarget(const QByteArray &frame);

// One real-time write: send the frame, wait for the one-byte acknowledgement.
class RealTimeWriteExchange : public ReplyExchange
{
    Q_OBJECT
public:
    RealTimeWriteExchange(LinkPort &port, const LinkClock &clock, const QByteArray &frame,
                          QObject *parent = nullptr);

    void Start() override;

    const QByteArray &Frame() const { return m_frame; }

private:
    void replyAccepted(QByteArray reply) override;

    QByteArray m_frame;
};

// Keeps real-time writes one at a time. The acquisition loop keeps running
// while a write waits for its acknowledgement and may start another (the
// staged rev limiter switching); that one waits in the queue and goes out
// when the write in flight has finished, so the two never share the port.
// Submit() runs the write at once when nothing is in flight; a Submit() made
// while a write is in flight (from inside its event loop) only queues, and
// the outer Submit() runs the queued writes, in order, before returning.
class RealTimeWriteQueue
{
public:
    using RunOne = std::function<void(const QByteArray &frame)>;

    explicit RealTimeWriteQueue(RunOne run) : m_run(std::move(run)) {}

    void Submit(const QByteArray &frame);
    bool Busy() const { return m_running; }
    int Pending() const { return static_cast<int>(m_pending.size()); }

private:
    RunOne m_run;
    std::deque<QByteArray> m_pending;
    bool m_running = false;
};
