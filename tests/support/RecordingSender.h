#pragma once
// A real-time sender that writes nothing and keeps what it was asked to
// send: the stand-in for the box in tests of the editors, the acquisition
// loop and the tools built on them.

#include "link/RealTimeSender.h"

#include <functional>
#include <string>
#include <vector>

struct SentValue
{
    TuneItem item;
    int index;
    int value;
    bool operator==(const SentValue &) const = default;
};

class RecordingSender : public RealTimeSender
{
public:
    // With blocks false, a block of bytes is sent value by value, as a
    // sender that cannot write blocks does.
    explicit RecordingSender(bool blocks = true) : m_blocks(blocks) {}

    void SendRealTimeValue(TuneItem item, int index, int value) override
    {
        values.push_back({item, index, value});
        note("value " + std::to_string(Number(item)) + " " + std::to_string(index) + " " + std::to_string(value));
        if (duringSend)
            duringSend();
    }
    void SendRealTimeVersion(const QString &text) override { note("version " + text.toStdString()); }
    void SendRealTimeBytes(TuneItem item, int offset, const QByteArray &data) override
    {
        if (!m_blocks) {
            RealTimeSender::SendRealTimeBytes(item, offset, data);
            return;
        }
        note("bytes " + std::to_string(Number(item)) + " " + std::to_string(offset) + " "
             + data.toHex().toUpper().toStdString());
    }

    // Every send as one line: "value 1 5 128", "version ABCDE", "bytes 23 6 03E8".
    std::vector<std::string> sent;
    // The single values, in order.
    std::vector<SentValue> values;
    // Told of every line as it is sent (a test's own journal of events).
    std::function<void(const std::string &)> journal;
    // Runs while a single-value write waits, as the modal write lets the
    // acquisition timer fire again.
    std::function<void()> duringSend;

private:
    void note(const std::string &line)
    {
        sent.push_back(line);
        if (journal)
            journal(line);
    }

    bool m_blocks;
};
