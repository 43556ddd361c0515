#pragma once

#include "link/LinkExchange.h"

// The connection handshake: open the port, wait, send the version request,
// then look for the box's three version bytes at each poll.
struct HandshakeTimings
{
    int startDelayMs = 2000;   // from opening the port to sending the request
    int pollIntervalMs = 2000; // between the request and each poll

    // For scripts and tests that need not give a slow box its time.
    static HandshakeTimings Fast() { return {100, 100}; }
};

// The box's answer arrives between polls and is judged at the next poll, so
// it has four chances (polls 1 to 4); poll 5 gives up. Progress is 20 x the
// poll number. The port stays open only when the handshake succeeds.
class HandshakeExchange : public LinkExchange
{
    Q_OBJECT
public:
    static constexpr int Polls = 5;

    HandshakeExchange(LinkPort &port, const LinkClock &clock, HandshakeTimings timings = {},
                      QObject *parent = nullptr);

    void Start() override;
    void Tick() override;
    void Cancel() override;
    int TickIntervalMs() const override { return 10; }

    bool IsConnected() const { return Finished() && Outcome().ok(); }
    int MajorVer() const { return m_major; }
    int MinorVer() const { return m_minor; }
    int IDVer() const { return m_id; }
    // The poll the next poll tick will be, 1 to 5.
    int PollCounter() const { return m_pollCounter; }
    bool RequestSent() const { return m_phase == Phase::Polling; }

private:
    enum class Phase { NotStarted, WaitingToSend, Polling };

    void fail(LinkResult result, const QString &text, MsgIcon icon);
    void poll();

    HandshakeTimings m_timings;
    Phase m_phase = Phase::NotStarted;
    qint64 m_dueMs = 0;
    int m_pollCounter = 1;
    int m_major = 0;
    int m_minor = 0;
    int m_id = 0;
};

// The status-bar text for a hardware version: "Hardware Version 2.05 (7)"
// followed by three spaces; the minor version always has two digits or more.
QString HardwareVersionText(int major, int minor, int id);
