// The link through an FTDI-type USB-serial adapter (LatencyRelay) to the
// simulated box pacing every byte at 115200 baud: a ROM read and a real-time
// write with the adapter's latency timer at its default 16 ms and at the
// 1 ms the program asks for on opening the port. Each is reported as a ratio
// to its wire time; at 1 ms the ROM read should stay within 5 % of it.
//
//   ROM read         128 x (5 + 257) bytes       2.911 s on the wire
//   real-time write  6 + 1 bytes                 0.61 ms

#include "PacedBox.h"
#include "LatencyRelay.h"

#include "link/RealTimeWrite.h"
#include "link/RomTransfer.h"
#include "model/Tune.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// The paced box, the adapter in front of it and the link's port on the
// adapter, for one setting of the latency timer.
struct AdaptedBox
{
    std::unique_ptr<LatencyRelay> relay;
    PacedBox paced;

    bool start(int latencyMs)
    {
        return paced.start([&](const QString &device) {
            relay = std::make_unique<LatencyRelay>(std::chrono::milliseconds(latencyMs));
            return relay->Start(device, paced.error) ? relay->devicePath() : QString();
        });
    }
    // The port goes first, then the adapter, then the box.
    ~AdaptedBox()
    {
        paced.port.Close();
        relay.reset();
    }
};

template <typename Make>
void runTimed(benchmark::State &state, double wireSeconds, Make make)
{
    AdaptedBox box;
    if (!box.start(static_cast<int>(state.range(0)))) {
        state.SkipWithError(qPrintable(box.paced.error));
        return;
    }
    const std::optional<ExchangeTimes> times = TimeExchanges(state, box.paced.port, [&] { return make(box.paced); });
    if (!times)
        return;
    state.counters["latency_ms"] = static_cast<double>(state.range(0));
    state.counters["wire_ms"] = wireSeconds * 1e3;
    state.counters["ratio"] = times->mean / wireSeconds;
    state.counters["over_wire_ms"] = (times->mean - wireSeconds) * 1e3;
}

void RomReadThroughAdapter(benchmark::State &state)
{
    runTimed(state, 128 * (5 + 257) * ByteSeconds, [](PacedBox &box) {
        return std::make_unique<RomTransferExchange>(box.port, LinkClock::Steady(),
                                                     box.dir.filePath(QStringLiteral("read.bin")),
                                                     TransferDirection::Read);
    });
}

void RealTimeWriteThroughAdapter(benchmark::State &state)
{
    static const Tune tune;
    runTimed(state, 7 * ByteSeconds, [](PacedBox &box) {
        return std::make_unique<RealTimeWriteExchange>(box.port, LinkClock::Steady(),
                                                       RealTimeFrame(TuneItem::RevLimiter, 0, 0x64, tune));
    });
}

BENCHMARK(RomReadThroughAdapter)->Arg(16)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RealTimeWriteThroughAdapter)
    ->Arg(16)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(100);

} // namespace
