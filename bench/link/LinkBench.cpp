// The link's speed against the simulated box pacing every byte at the true
// 115200-baud wire rate (10 bits a byte, 86.8 us). Each transfer is reported
// as a ratio to the time its bytes need on the wire: replies are judged the
// moment their last byte arrives, so the ratio should stay close to 1.
//
//   full tune read   22 exchanges, 1952 bytes    0.169 s on the wire
//   ROM read         128 x (5 + 257) bytes       2.911 s
//   ROM write        128 x (261 + 1) bytes       2.911 s
//   real-time write  6 + 1 bytes                 0.61 ms

#include "PacedBox.h"
#include "link/BulkTransfer.h"
#include "link/RealTimeWrite.h"
#include "link/RomTransfer.h"
#include "model/Tune.h"

#include <QCoreApplication>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

PacedBox *box = nullptr;

// Reports the mean time as a ratio to the wire time.
template <typename Make>
void runTimed(benchmark::State &state, double wireSeconds, Make make)
{
    const std::optional<ExchangeTimes> times = TimeExchanges(state, box->port, make);
    if (!times)
        return;
    state.counters["wire_ms"] = wireSeconds * 1e3;
    state.counters["ratio"] = times->mean / wireSeconds;
    state.counters["worst_ratio"] = times->worst / wireSeconds;
    state.counters["over_wire_ms"] = (times->mean - wireSeconds) * 1e3;
}

void TuneRead(benchmark::State &state)
{
    static Tune tune;
    runTimed(state, 1952 * ByteSeconds, [] {
        return std::make_unique<BulkTransferExchange>(box->port, LinkClock::Steady(), tune, TransferDirection::Read);
    });
}

void RomRead(benchmark::State &state)
{
    const QString file = box->dir.filePath(QStringLiteral("read.bin"));
    runTimed(state, 128 * (5 + 257) * ByteSeconds, [&] {
        return std::make_unique<RomTransferExchange>(box->port, LinkClock::Steady(), file, TransferDirection::Read);
    });
}

void RomWrite(benchmark::State &state)
{
    // Whatever the box holds goes back in: its own image, read first.
    const QString file = box->dir.filePath(QStringLiteral("write.bin"));
    RomTransferExchange read(box->port, LinkClock::Steady(), file, TransferDirection::Read);
    if (!RunExchange(read, box->port).ok()) {
        state.SkipWithError("could not read the image to write back");
        return;
    }
    runTimed(state, 128 * (261 + 1) * ByteSeconds, [&] {
        return std::make_unique<RomTransferExchange>(box->port, LinkClock::Steady(), file, TransferDirection::Write);
    });
}

void RealTimeWrite(benchmark::State &state)
{
    static const Tune tune;
    runTimed(state, 7 * ByteSeconds, [] {
        return std::make_unique<RealTimeWriteExchange>(box->port, LinkClock::Steady(),
                                                       RealTimeFrame(TuneItem::RevLimiter, 0, 0x64, tune));
    });
}

BENCHMARK(TuneRead)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(RomRead)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RomWrite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RealTimeWrite)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    PacedBox paced;
    if (!paced.start()) {
        std::fprintf(stderr, "link_bench: %s\n", qPrintable(paced.error));
        return 1;
    }
    box = &paced;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    box = nullptr;
    return 0;
}
