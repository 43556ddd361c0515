#include "daq/sim/SimulatedU12Driver.h"

#include "daq/DaqSettings.h"
#include "model/Tune.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

namespace {

// Input range of each gain code, in volts either side of 0 (differential).
constexpr double GainRange[8] = {20.0, 10.0, 5.0, 4.0, 2.5, 2.0, 1.25, 1.0};
// Single-ended channels read +/-10 V.
constexpr double SingleEndedRange = 10.0;

} // namespace

SimulatedU12Driver::SimulatedU12Driver(const DaqSettings *prefs, quint32 seed) : m_prefs(prefs), m_engine(seed)
{
    for (std::atomic<int> &line : m_forced)
        line = Released;
    PrepareCycle();
}

SimulatedU12Driver::SimulatedU12Driver(const DaqSettings *prefs, const EngineSimulation &sim, const Tune *tune,
                                       const Tune &reference)
    : m_prefs(prefs), m_programTune(tune), m_boxTune(tune ? std::make_unique<Tune>(*tune) : nullptr),
      m_engine(sim, m_boxTune.get(), reference), m_latencyMs(sim.daqLatencyMs)
{
    for (std::atomic<int> &line : m_forced)
        line = Released;
    PrepareCycle();
}

SimulatedU12Driver::~SimulatedU12Driver() = default;

void SimulatedU12Driver::PrepareCycle()
{
    m_cyclePeriodMs = periodMs();
    m_cycleMultiplier = multiplier();
    // Edits reach the engine at the next tick, as they reached the box.
    if (m_programTune && m_boxTune)
        *m_boxTune = *m_programTune;
}

bool SimulatedU12Driver::crossCable() const
{
    if (const int ms = m_latencyMs; ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return m_connected;
}

int SimulatedU12Driver::periodMs() const
{
    // The period the acquisition timer really runs at, not the stored value
    // it is held from: the engine must move on as far as the clock does.
    return m_prefs && !m_ownPeriod ? m_prefs->SamplePeriodMs() : m_periodMs;
}

int SimulatedU12Driver::multiplier() const
{
    return m_prefs ? m_prefs->DAQRPMMultiplier() : m_multiplier;
}

void SimulatedU12Driver::ForceLine(int line, bool high)
{
    if (line >= 0 && line < static_cast<int>(m_forced.size()))
        m_forced[static_cast<std::size_t>(line)] = high ? 1 : 0;
}

void SimulatedU12Driver::ReleaseLine(int line)
{
    if (line >= 0 && line < static_cast<int>(m_forced.size()))
        m_forced[static_cast<std::size_t>(line)] = Released;
}

bool SimulatedU12Driver::lineState(int line) const
{
    if (const int forced = m_forced[static_cast<std::size_t>(line)]; forced != Released)
        return forced == 1;
    if (line == EngineModel::LaunchSwitchLine)
        return m_engine.LaunchSwitch();
    if (line == EngineModel::BrakeLine)
        return m_engine.Braking();
    return false;
}

qint32 SimulatedU12Driver::Counter(qint32 *idnum, qint32, qint32 *stateD, qint32 *stateIO, qint32 resetCounter,
                                   qint32, quint32 *count, ErrorRecord &)
{
    if (!crossCable())
        return NotConnected;
    *idnum = 0;
    m_engine.Advance(std::max(0, m_cyclePeriodMs));
    // Pulses of this period, fractions carried to the next so that the
    // mean reading matches the engine.
    const int m = m_cycleMultiplier;
    double pulses = m > 0 ? m_engine.MeanRPM() / m + m_pulseRemainder : 0.0;
    const double whole = std::floor(std::max(0.0, pulses));
    m_pulseRemainder = resetCounter ? pulses - whole : 0.0;
    *count = static_cast<quint32>(std::min(whole, 4294967295.0));

    qint32 d = 0;
    for (int line = 0; line < 16; ++line)
        if (lineState(line))
            d |= 1 << line;
    qint32 io = 0;
    for (int line = 16; line < 20; ++line)
        if (lineState(line))
            io |= 1 << (line - 16);
    *stateD = d;
    *stateIO = io;
    return NoError;
}

qint32 SimulatedU12Driver::AISample(qint32 *idnum, qint32, qint32 *, qint32, qint32, qint32 numChannels,
                                    const qint32 *channels, const qint32 *gains, qint32, qint32 *overVoltage,
                                    float *voltages, ErrorRecord &)
{
    if (!crossCable())
        return NotConnected;
    if (numChannels != 1 && numChannels != 2 && numChannels != 4)
        return BadChannelCount;
    for (int i = 0; i < numChannels; ++i) {
        if (channels[i] < 0 || channels[i] > 11)
            return BadChannel;
        if (gains[i] < 0 || gains[i] > 7)
            return BadGain;
    }
    *idnum = 0;
    *overVoltage = 0;
    for (int i = 0; i < numChannels; ++i) {
        const int ch = channels[i];
        double v = 0.0;
        double range = SingleEndedRange;
        if (ch < 8) {
            v = m_engine.ChannelVoltage(ch);
        } else {
            const int pair = ch - 8;
            v = m_engine.ChannelVoltage(pair * 2) - m_engine.ChannelVoltage(pair * 2 + 1);
            range = GainRange[gains[i]];
        }
        if (std::fabs(v) > range) {
            *overVoltage = 1;
            v = std::clamp(v, -range, range);
        }
        voltages[i] = static_cast<float>(v);
    }
    return NoError;
}

qint32 SimulatedU12Driver::Reset(qint32 *idnum, ErrorRecord &)
{
    if (!crossCable())
        return NotConnected;
    *idnum = 0;
    return NoError;
}

float SimulatedU12Driver::GetDriverVersion(ErrorRecord &)
{
    return DriverVersion;
}

float SimulatedU12Driver::GetFirmwareVersion(qint32 *idnum, ErrorRecord &)
{
    if (!crossCable())
        return 0.0f;
    *idnum = 0;
    return FirmwareVersion;
}

const char *SimulatedU12Driver::ErrorText(qint32 errorCode)
{
    switch (errorCode) {
    case NoError:
        return "No error";
    case NotConnected:
        return "Simulated U12 not connected";
    case BadChannelCount:
        return "Number of channels must be 1, 2 or 4";
    case BadChannel:
        return "Invalid analog channel number";
    case BadGain:
        return "Invalid gain code";
    default:
        return "Unknown error";
    }
}

void SimulatedU12Driver::GetErrorString(qint32 errorCode, char *errorString, ErrorRecord &)
{
    std::strncpy(errorString, ErrorText(errorCode), ErrorStringSize - 1);
    errorString[ErrorStringSize - 1] = '\0';
}
