#pragma once

#include "daq/sim/EngineModel.h"
#include "platform/DaqDriver.h"

#include <array>
#include <atomic>
#include <memory>

class DaqSettings;
class Tune;

// A LabJack U12 on an engine that drives the EngineModel's cycle, offering
// the driver's six functions with the driver's arguments and results.
//
// Time is simulated: each Counter call (one per acquisition tick) moves the
// engine on by one sample period, the period the acquisition timer runs at
// (or the one set here), and counts the pulses of that period, RPM /
// DAQRPMMultiplier, so that the program reads back the engine's speed.
// Analog channels give the model's voltages; D0 is the launch switch, D1 the
// brake light; any line can be forced high or low. The same options and
// calls give the same readings.
//
// The device calls may run on an acquisition thread: what they read of the
// program (the period, the multiplier, the box's running tune) is copied in
// PrepareCycle on the thread that owns it. With a latency set, every call
// that would cross the USB cable blocks its caller that long, as the real
// library does.
class SimulatedU12Driver : public DaqDriver
{
public:
    // The simulated driver's error codes and their texts.
    enum ErrorCode : qint32 {
        NoError = 0,
        NotConnected = 1,
        BadChannelCount = 2,
        BadChannel = 3,
        BadGain = 4,
    };
    static constexpr float DriverVersion = 1.1f;
    static constexpr float FirmwareVersion = 1.1f;

    // Sample period and multiplier come from prefs when given (read at every
    // call, so a change applies at once), else from the setters.
    explicit SimulatedU12Driver(const DaqSettings *prefs = nullptr, quint32 seed = 1);
    // The engine of sim, fuelled by the box running tune (see EngineModel).
    SimulatedU12Driver(const DaqSettings *prefs, const EngineSimulation &sim, const Tune *tune,
                       const Tune &reference);
    ~SimulatedU12Driver() override;
    SimulatedU12Driver(const SimulatedU12Driver &) = delete;
    SimulatedU12Driver &operator=(const SimulatedU12Driver &) = delete;

    // A period of one's own (a command-line --rate) wins over the
    // preferences' from then on.
    void SetSamplePeriodMs(int ms)
    {
        m_periodMs = ms;
        m_ownPeriod = true;
        PrepareCycle();
    }
    void SetRPMMultiplier(int m)
    {
        m_multiplier = m;
        PrepareCycle();
    }
    // How long each device call blocks (ms; 0: none).
    void SetLatencyMs(int ms) { m_latencyMs = ms; }
    // An unplugged unit: every device call returns NotConnected (from the
    // next call on, even one already waiting on the cable).
    void SetConnected(bool connected) { m_connected = connected; }
    // Forces a digital line (0..15 D lines, 16..19 IO lines) high or low,
    // whatever the model does; Release gives it back to the model.
    void ForceLine(int line, bool high);
    void ReleaseLine(int line);

    EngineModel &engine() { return m_engine; }

    void PrepareCycle() override;
    qint32 Counter(qint32 *idnum, qint32 demo, qint32 *stateD, qint32 *stateIO, qint32 resetCounter,
                   qint32 enableSTB, quint32 *count, ErrorRecord &failure) override;
    qint32 AISample(qint32 *idnum, qint32 demo, qint32 *stateIO, qint32 updateIO, qint32 ledOn,
                    qint32 numChannels, const qint32 *channels, const qint32 *gains, qint32 disableCal,
                    qint32 *overVoltage, float *voltages, ErrorRecord &failure) override;
    qint32 Reset(qint32 *idnum, ErrorRecord &failure) override;
    float GetDriverVersion(ErrorRecord &failure) override;
    float GetFirmwareVersion(qint32 *idnum, ErrorRecord &failure) override;
    void GetErrorString(qint32 errorCode, char *errorString, ErrorRecord &failure) override;

    static const char *ErrorText(qint32 errorCode);

private:
    int periodMs() const;
    int multiplier() const;
    bool lineState(int line) const;
    // The cable's round trip: blocks, then whether the unit is there.
    bool crossCable() const;

    static constexpr int Released = -1;

    const DaqSettings *m_prefs;
    const Tune *m_programTune = nullptr;
    std::unique_ptr<Tune> m_boxTune; // the engine's copy, taken in PrepareCycle
    EngineModel m_engine;
    int m_periodMs = 100;
    bool m_ownPeriod = false;
    int m_multiplier = 150;
    // What the next Counter call uses, as PrepareCycle found it.
    int m_cyclePeriodMs = 100;
    int m_cycleMultiplier = 150;
    std::atomic<int> m_latencyMs = 0;
    std::atomic<bool> m_connected = true;
    double m_pulseRemainder = 0.0;
    std::array<std::atomic<int>, 20> m_forced; // Released, 0 low, 1 high
};
