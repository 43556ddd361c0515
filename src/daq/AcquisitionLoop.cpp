#include "daq/AcquisitionLoop.h"

#include "daq/CVDataAcquisition.h"
#include "daq/DaqSettings.h"
#include "daq/DataLogSink.h"
#include "daq/EngineTrace.h"
#include "daq/GeneralText.h"
#include "link/RealTimeSender.h"
#include "model/ProgramState.h"
#include "model/Units.h"
#include "platform/Rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

quint32 thresholdColor(const CVDAQInput &input)
{
    if (input.Value() > input.CriticalThreshold())
        return input.CriticalThresholdColor();
    if (input.Value() > input.WarningThreshold())
        return input.WarningThresholdColor();
    return input.NormalThresholdColor();
}

AcquisitionSample::Input sampleInput(const CVDAQInput &input, bool digital)
{
    if (digital) {
        const bool high = input.Voltage() == 1.0f;
        return {input.Name(), true, high ? 1.0f : 0.0f, input.Voltage(), std::nullopt};
    }
    std::optional<quint32> color;
    if (input.ThresholdsEnabled())
        color = thresholdColor(input);
    return {input.Name(), false, input.Value(), input.Voltage(), color};
}

} // namespace

int IntegerLoad(float fTP)
{
    const float rounded = vnt::RoundToDecimals(fTP, 2);
    if (!std::isfinite(rounded))
        return 0;
    const double clamped = std::clamp(static_cast<double>(rounded), static_cast<double>(std::numeric_limits<int>::min()),
                                      static_cast<double>(std::numeric_limits<int>::max()));
    return static_cast<int>(vnt::RoundHalfEven(clamped));
}

InjectorFigures ComputeInjectorFigures(float fTP, qint32 rpm, int enrichmentHighGear)
{
    InjectorFigures f;
    const double base = static_cast<double>(fTP) * 0.125;
    f.pulseWidth = vnt::RoundToDecimals(static_cast<float>(base * enrichmentHighGear / 100.0 + base), 2);
    if (rpm != 0) {
        const double cycleTime = 2.0 * (1.0 / (rpm / 60.0)); // seconds, two revolutions
        f.duty = vnt::RoundToDecimals(static_cast<float>(f.pulseWidth / 1000.0 / cycleTime * 100.0), 2);
        if (f.duty > 100.0f)
            f.duty = 100.0f;
    }
    return f;
}

AcquisitionLoop::AcquisitionLoop(CVDataAcquisition &daq, const DaqSettings &prefs, ProgramState &state,
                                     RealTimeSender &sender)
    : m_daq(daq), m_prefs(prefs), m_state(state), m_sender(sender)
{
}

AcquisitionSample AcquisitionLoop::Tick()
{
    AcquisitionSample out;

    // 1. The inputs of this tick. Copies, so that a tick entered again
    //    during a real-time write walks lists of its own.
    const DAQInputList analog = m_prefs.SortedAnalogDAQInputs();
    int row = 0;

    // 2. The device.
    qint32 rpm = 0;
    float tp = 0.0f;
    const qint32 code = m_daq.AcquireData(tp, rpm);
    const auto failed = [&](const QString &status) {
        m_strip.status = status;
        out.status = status;
        out.stagedRevLimitActive = m_state.StagedRevLimitActive;
        return out;
    };
    if (m_daq.CallError().isSet())
        return failed(m_daq.CallError().message);
    if (code != 0) {
        const QString text = m_daq.GetErrorInfo(code);
        return failed(m_daq.CallError().isSet() ? m_daq.CallError().message : text);
    }
    out.acquired = true;
    out.rpm = rpm;
    out.tp = tp;

    // 3. Analog inputs: "MAS" in its own label, the others in rows.
    float masVoltage = 0.0f;
    for (const auto &input : analog) {
        std::optional<quint32> *color = nullptr;
        if (input->IsMAS()) {
            masVoltage = input->Voltage();
            m_strip.mas = vnt::GeneralText(masVoltage) + QLatin1Char('v');
            color = &m_strip.masColor;
        } else {
            if (row < RealTimeStrip::RowCount) {
                RealTimeStripRow &r = m_strip.rows[static_cast<std::size_t>(row)];
                r.kind = RealTimeStripRow::Kind::Analog;
                r.name = input->Name();
                r.valueText = vnt::GeneralText(input->Value());
                color = &r.valueColor;
            }
            ++row;
        }
        if (color && input->ThresholdsEnabled())
            *color = thresholdColor(*input);
        out.inputs.push_back(sampleInput(*input, false));
    }

    // 4. The staged rev limiter's labels.
    m_strip.revLimitVisible = m_prefs.StagedRevLimiterEnabled();

    // 5. Digital inputs, each also run through the staged rev limiter rule.
    const DAQInputList digital = m_prefs.SortedDigitalDAQInputs();
    for (const auto &input : digital) {
        const bool high = input->Voltage() == 1.0f;
        if (row < RealTimeStrip::RowCount) {
            RealTimeStripRow &r = m_strip.rows[static_cast<std::size_t>(row)];
            r.kind = RealTimeStripRow::Kind::Digital;
            r.name = input->Name();
            r.high = high;
        }
        out.inputs.push_back(sampleInput(*input, true));
        runStagedRevLimiter(input->Name(), high);
        ++row;
    }
    // Rows no input filled this tick are hidden, so a shrinking list leaves
    // no stale names behind.
    m_strip.rowsInUse = std::min(row, RealTimeStrip::RowCount);
    for (int r = m_strip.rowsInUse; r < RealTimeStrip::RowCount; ++r)
        m_strip.rows[static_cast<std::size_t>(r)].kind = RealTimeStripRow::Kind::Hidden;

    // 6. Speed and load.
    const int tpInt = IntegerLoad(tp);
    m_strip.status = QStringLiteral("Receiving data.");
    m_strip.rpm = QString::number(rpm);
    m_strip.tp = QString::number(tpInt);
    out.tpInt = tpInt;
    out.masVoltage = masVoltage;
    out.masColor = m_strip.masColor;

    // 7. Trace, in the tune itself: the cells the log and the injector
    //    figures read are the cells traced, shown on a panel or not.
    EngineTrace::Trace(m_state.tune, out, m_prefs.HighlightMode() == 1);

    // 8. The traced map values.
    const Tune &tune = m_state.tune;
    const int lowGearEnrichment = tune.map(MapKey::HOFM).LastAccessedValue();
    const int highGearEnrichment = tune.map(MapKey::HOHGFM).LastAccessedValue();
    const int timingMark = tune.map(MapKey::HOTM).LastAccessedValue();

    // 9, 10. Injector figures.
    const InjectorFigures injector = ComputeInjectorFigures(tp, rpm, highGearEnrichment);
    out.injectorPW = injector.pulseWidth;
    out.injectorDuty = injector.duty;
    m_strip.injectorPW = vnt::GeneralText(injector.pulseWidth) + QStringLiteral(" ms");
    m_strip.injectorDuty = vnt::GeneralText(injector.duty) + QLatin1Char('%');

    // 11. The data log.
    if (m_log) {
        m_log->LogEntry(rpm, tp, timingMark, lowGearEnrichment, highGearEnrichment, injector.pulseWidth,
                        injector.duty);
        // Data still arrives, but a log that stopped must not look as if it ran.
        if (const QString stopped = m_log->StoppedReason(); !stopped.isEmpty())
            m_strip.status = QStringLiteral("Receiving data. ") + stopped;
    }
    out.status = m_strip.status;
    out.stagedRevLimitActive = m_state.StagedRevLimitActive;
    return out;
}

void AcquisitionLoop::runStagedRevLimiter(const QString &inputName, bool high)
{
    const int tuneLimit = m_state.tune.general().RevLimiter();
    if (m_prefs.StagedRevLimiterEnabled() && inputName == m_prefs.StagedRevLimiterInput()) {
        // The limit in force before this tick.
        const int limit = m_state.StagedRevLimitActive ? m_prefs.StagedRevLimiter() : tuneLimit;
        m_strip.revLimitValue = QString::number(Units::RpmOf(limit));
        // The flag changes before the write: a tick run while the write waits
        // for its acknowledgement must not send the same edge again.
        if (!m_state.StagedRevLimitActive && high) {
            m_state.StagedRevLimitActive = true;
            m_sender.SendRealTimeValue(TuneItem::RevLimiter, 0, m_prefs.StagedRevLimiter());
        } else if (m_state.StagedRevLimitActive && !high) {
            m_state.StagedRevLimitActive = false;
            m_sender.SendRealTimeValue(TuneItem::RevLimiter, 0, tuneLimit);
        }
    } else if (!m_prefs.StagedRevLimiterEnabled() && m_state.StagedRevLimitActive) {
        // Switched off while its limit was in force: the tune's limit goes back.
        m_state.StagedRevLimitActive = false;
        m_sender.SendRealTimeValue(TuneItem::RevLimiter, 0, tuneLimit);
    }
}
