#include "daq/CVDataAcquisition.h"

#include "daq/CVScalingCalculator.h"
#include "daq/GeneralText.h"
#include "platform/Rounding.h"
#include "model/Tune.h"
#include "daq/DaqSettings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr qint32 Demo = 0;

qint32 clampToInt32(double v)
{
    if (!(v == v))
        return 0;
    return static_cast<qint32>(std::clamp(v, static_cast<double>(std::numeric_limits<qint32>::min()),
                                          static_cast<double>(std::numeric_limits<qint32>::max())));
}

// A reading the record can take: a driver that hands back a non-number reads 0.
float reading(float v)
{
    return std::isfinite(v) ? vnt::RoundToDecimals(v, 4) : 0.0f;
}

} // namespace

CVDataAcquisition::CVDataAcquisition(DaqDriver &driver, const DaqSettings &prefs, const Tune &tune,
                                     CVScalingCalculator &calculator)
    : m_driver(&driver), m_prefs(prefs), m_tune(tune), m_calculator(calculator)
{
}

bool CVDataAcquisition::HasActiveDevice()
{
    const qint32 code = DAQReset();
    return !m_callError.isSet() && code == 0;
}

float CVDataAcquisition::GetDAQDriverVersion()
{
    const std::lock_guard lock(m_driverLock);
    m_callError.clear();
    return m_driver->GetDriverVersion(m_callError);
}

float CVDataAcquisition::GetDAQFirmwareVersion()
{
    const std::lock_guard lock(m_driverLock);
    m_callError.clear();
    qint32 id = DaqDriver::FirstDevice;
    return m_driver->GetFirmwareVersion(&id, m_callError);
}

qint32 CVDataAcquisition::DAQReset()
{
    const std::lock_guard lock(m_driverLock);
    m_callError.clear();
    qint32 id = DaqDriver::FirstDevice;
    return m_driver->Reset(&id, m_callError);
}

QString CVDataAcquisition::GetErrorInfo(qint32 lErrCode)
{
    const std::lock_guard lock(m_driverLock);
    m_callError.clear();
    return errorText(lErrCode, m_callError);
}

QString CVDataAcquisition::errorText(qint32 code, ErrorRecord &callError) const
{
    char buffer[DaqDriver::ErrorStringSize + 1] = {};
    m_driver->GetErrorString(code, buffer, callError);
    if (callError.isSet())
        return QString();
    return QString::fromLatin1(buffer, static_cast<qsizetype>(strnlen(buffer, DaqDriver::ErrorStringSize - 1)));
}

void CVDataAcquisition::noteInputError(const QString &inputName, const ErrorRecord &error)
{
    if (error.isSet())
        m_inputError.setIfClear(error.number, inputName + QStringLiteral(": ") + error.message);
}

float CVDataAcquisition::EngineLoad(qint32 rpm, float masVoltage, int injectorK)
{
    if (rpm == 0)
        return 0.0f;
    // Period term: RPM / 50 x 180, to the nearest integer.
    const qint32 period = clampToInt32(static_cast<double>(vnt::RoundHalfEven(rpm / 50.0 * 180.0)));
    if (period == 0)
        return 0.0f;
    // Airflow from the meter's voltage; a voltage at or below 0 (a negative
    // correction, a disconnected sensor) means no airflow rather than the
    // power of a negative base, which has no value.
    float airflow = 0.0f;
    if (masVoltage > 0.0f)
        airflow = static_cast<float>(std::pow((static_cast<double>(masVoltage) / 0.08) * 0.5, 3.2));
    const float load = static_cast<float>(static_cast<double>(airflow) * injectorK / period / 6.0);
    return std::isfinite(load) ? vnt::RoundToDecimals(load, 2) : 0.0f;
}

qint32 CVDataAcquisition::AcquireData(float &fTP, qint32 &lRPM, DaqReadings &readings)
{
    Cycle cycle = PlanCycle();
    CallDevice(cycle);
    const qint32 code = FinishCycle(cycle, fTP, lRPM);
    readings = std::move(cycle.readings);
    return code;
}

CVDataAcquisition::Cycle CVDataAcquisition::PlanCycle()
{
    Cycle cycle;
    for (const auto &input : m_prefs.SortedAnalogDAQInputs())
        cycle.readings.analog.push_back(*input);
    for (const auto &input : m_prefs.SortedDigitalDAQInputs())
        cycle.readings.digital.push_back(*input);
    const std::lock_guard lock(m_driverLock);
    m_driver->PrepareCycle();
    return cycle;
}

void CVDataAcquisition::CallDevice(Cycle &cycle)
{
    const std::lock_guard lock(m_driverLock);
    // Counter and lines; the counter restarts at every read, so the count is
    // the pulses of one sample period.
    qint32 id = DaqDriver::FirstDevice;
    cycle.code = m_driver->Counter(&id, Demo, &cycle.stateD, &cycle.stateIO, 1, 0, &cycle.count, cycle.callError);
    if (cycle.callError.isSet())
        return;
    cycle.counted = cycle.code == 0;

    // Analog inputs in batches of four channels. Eight enabled inputs at most
    // are admitted (DaqSettings), so two calls at most; a store edited by
    // hand to hold more is sampled in further batches rather than dropped.
    const std::vector<CVDAQInput> &analog = cycle.readings.analog;
    for (std::size_t start = 0; cycle.counted && start < analog.size(); start += BatchSize) {
        const int inBatch = static_cast<int>(std::min<std::size_t>(BatchSize, analog.size() - start));
        qint32 channels[BatchSize] = {};
        qint32 gains[BatchSize] = {};
        std::array<float, BatchSize> voltages = {};
        for (int i = 0; i < inBatch; ++i) {
            const CVDAQInput &input = analog[start + static_cast<std::size_t>(i)];
            if (input.InputType() == CVDAQInput::Differential) {
                // Pairs 0..3 are the driver's channels 8..11; a damaged
                // stored number stays out of that range (the driver refuses
                // it) instead of overflowing into it.
                channels[i] = static_cast<qint32>(
                    std::min<qint64>(static_cast<qint64>(input.DAQInput()) + 8, std::numeric_limits<qint32>::max()));
                gains[i] = input.Gain();
            } else {
                channels[i] = input.DAQInput();
                gains[i] = 0;
            }
        }
        // The driver reads 1, 2 or 4 channels: three are read as four.
        const qint32 numChannels = inBatch == 3 ? 4 : inBatch;
        qint32 ioState = 0;
        qint32 overVoltage = 0;
        id = DaqDriver::FirstDevice;
        cycle.code = m_driver->AISample(&id, Demo, &ioState, 0, 1, numChannels, channels, gains, 1, &overVoltage,
                                        voltages.data(), cycle.callError);
        if (cycle.callError.isSet())
            return;
        if (cycle.code != 0)
            break;
        cycle.voltages.push_back(voltages);
    }
    if (cycle.code == 0)
        return;
    // The failing call's text, asked of the driver while it is still ours.
    ErrorRecord textFailure;
    cycle.errorText = errorText(cycle.code, textFailure);
    if (textFailure.isSet())
        cycle.errorText = textFailure.message;
}

qint32 CVDataAcquisition::FinishCycle(Cycle &cycle, float &fTP, qint32 &lRPM)
{
    fTP = 0.0f;
    lRPM = 0;
    m_callError = cycle.callError;
    m_inputError.clear();
    if (!cycle.counted)
        return m_callError.isSet() ? 0 : cycle.code;
    lRPM = clampToInt32(static_cast<double>(cycle.count) * m_prefs.DAQRPMMultiplier());

    std::vector<CVDAQInput> &analog = cycle.readings.analog;
    for (std::size_t batch = 0; batch < cycle.voltages.size(); ++batch) {
        for (std::size_t i = 0; i < BatchSize && batch * BatchSize + i < analog.size(); ++i) {
            CVDAQInput &input = analog[batch * BatchSize + i];
            noteInputError(input.Name(), input.SetVoltage(reading(cycle.voltages[batch][i]), m_calculator));
        }
    }
    if (m_callError.isSet())
        return 0;
    if (cycle.code != 0)
        return cycle.code;

    // Engine load from the airflow meter.
    if (lRPM != 0) {
        const auto mas = std::find_if(analog.begin(), analog.end(), [](const CVDAQInput &in) { return in.IsMAS(); });
        if (mas == analog.end()) {
            m_inputError.setIfClear(NoMASInput, QStringLiteral("There is no enabled analog input named %1; "
                                                               "the load cannot be computed.")
                                                    .arg(CVDAQInput::MASName()));
        } else {
            fTP = EngineLoad(lRPM, mas->Voltage(), m_tune.general().InjectorK());
        }
    }

    // Digital inputs from the line states the counter read returned.
    for (CVDAQInput &input : cycle.readings.digital) {
        if (!input.Enabled())
            continue;
        const qint32 channel = input.DAQInput();
        bool high = false;
        if (channel >= 0 && channel <= 15)
            high = (cycle.stateD >> channel) & 1;
        else if (channel >= 16 && channel <= 19)
            high = (cycle.stateIO >> (channel - 16)) & 1;
        noteInputError(input.Name(), input.SetVoltage(high ? 1.0f : 0.0f, m_calculator));
    }
    return 0;
}
