#pragma once

#include "PseudoTerminal.h"

#include <QString>

#include <chrono>
#include <thread>

// An FTDI-type USB-serial adapter between the link and the simulated box, on
// a pseudo-terminal of its own: the link opens devicePath() as it would open
// /dev/ttyUSB0, and the relay talks to the box's device.
//
// Bytes from the PC go out to the box at once, as the adapter's transmitter
// sends them. Bytes from the box wait in the adapter the way the chip holds
// them: a packet of 62 goes to the PC as soon as it is full, and whatever is
// waiting goes when the latency timer runs out. The timer runs all the time,
// restarting whenever a packet is sent (an empty one when nothing waits), so
// a lone byte waits anything up to the timer's period.
class LatencyRelay
{
public:
    static constexpr int PacketBytes = 62;

    explicit LatencyRelay(std::chrono::microseconds latency);
    ~LatencyRelay();
    LatencyRelay(const LatencyRelay &) = delete;
    LatencyRelay &operator=(const LatencyRelay &) = delete;

    // Opens the relay's own pseudo-terminal and boxDevice, and starts
    // forwarding in a thread. On failure error says why.
    bool Start(const QString &boxDevice, QString &error);
    QString devicePath() const { return m_host.devicePath(); }

private:
    void run();

    std::chrono::microseconds m_latency;
    PseudoTerminal m_host; // the PC's end: the link opens its device
    int m_box = -1;        // the box's end: the simulated box's device
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
};
