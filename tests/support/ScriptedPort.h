#pragma once

// A port with a scripted peer behind it, for driving the link's exchanges
// without a device and without waiting: every frame sent is recorded, the
// peer (when set) answers it, and the bytes it answers wait until an exchange
// takes them.

#include "platform/SerialPort.h"

#include <QByteArray>
#include <QList>
#include <deque>
#include <functional>

class ScriptedPort : public LinkPort
{
public:
    bool IsOpen() const override { return m_open; }
    bool Open() override
    {
        if (!openError.isEmpty()) {
            m_error = openError;
            return false;
        }
        m_open = true;
        return true;
    }
    void Close() override { m_open = false; }
    bool Output(const QByteArray &bytes) override
    {
        ++sendAttempts;
        if (!m_open) {
            m_error = QStringLiteral("The port is not open");
            return false;
        }
        if (failSendNumber == sendAttempts || failAllSends) {
            m_error = QStringLiteral("Input/output error");
            return false;
        }
        sent.append(bytes);
        if (peer)
            Deliver(peer(bytes));
        return true;
    }
    // Chunk by chunk, as a serial driver hands them over.
    int InBufferCount() override { return m_chunks.empty() ? 0 : static_cast<int>(m_chunks.front().size()); }
    QByteArray Input() override
    {
        if (m_chunks.empty())
            return {};
        QByteArray chunk = m_chunks.front();
        m_chunks.pop_front();
        if (afterInput) {
            auto hook = std::move(afterInput);
            afterInput = nullptr;
            hook();
        }
        return chunk;
    }
    void DiscardInput() override { m_chunks.clear(); }
    QString ErrorDescription() const override { return m_error; }

    // Makes bytes wait on the port (one chunk); nothing for an empty array.
    void Deliver(const QByteArray &bytes)
    {
        if (!bytes.isEmpty())
            m_chunks.push_back(bytes);
    }
    int Waiting() const
    {
        int n = 0;
        for (const QByteArray &c : m_chunks)
            n += static_cast<int>(c.size());
        return n;
    }
    void ForceOpen() { m_open = true; }

    // Answers each frame sent; what it returns waits on the port.
    std::function<QByteArray(const QByteArray &frame)> peer;
    // Runs once, right after the next Input() (bytes arriving mid-read).
    std::function<void()> afterInput;

    QList<QByteArray> sent;
    QString openError;
    int failSendNumber = -1; // 1-based send attempt that fails
    bool failAllSends = false;
    int sendAttempts = 0;

private:
    bool m_open = false;
    QString m_error;
    std::deque<QByteArray> m_chunks;
};
