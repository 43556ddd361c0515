#pragma once

#include "daq/sim/EngineModel.h"
#include "platform/DaqDriver.h"

#include <array>
#include <optional>

class DaqSettings;

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

    // A period of one's own (a command-line --rate) wins over the
    // preferences' from then on.
    void SetSamplePeriodMs(int ms) { m_periodMs = ms; m_ownPeriod = true; }
    void SetRPMMultiplier(int m) { m_multiplier = m; }
    // An unplugged unit: every device call returns NotConnected.
    void SetConnected(bool connected) { m_connected = connected; }
    // Forces a digital line (0..15 D lines, 16..19 IO lines) high or low,
    // whatever the model does; Release gives it back to the model.
    void ForceLine(int line, bool high);
    void ReleaseLine(int line);

    EngineModel &engine() { return m_engine; }

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

    const DaqSettings *m_prefs;
    EngineModel m_engine;
    int m_periodMs = 100;
    bool m_ownPeriod = false;
    int m_multiplier = 150;
    bool m_connected = true;
    double m_pulseRemainder = 0.0;
    std::array<std::optional<bool>, 20> m_forced;
};
