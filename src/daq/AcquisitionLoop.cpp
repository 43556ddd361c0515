#include "daq/AcquisitionLoop.h"

#include "daq/CVDataAcquisition.h"
#include "daq/DaqSettings.h"
#include "daq/DataLogSink.h"
#include "daq/EngineTrace.h"
#include "daq/GeneralText.h"
#include "link/LinkSession.h"
#include "link/RealTimeSender.h"
#include "model/TraceMarks.h"
#include "model/Tune.h"
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
        return {input.Name(), true, high ? 1.0f : 0.0f, input.Voltage(), std::nullopt, input.Value()};
    }
    std::optional<quint32> color;
    if (input.ThresholdsEnabled())
        color = thresholdColor(input);
    return {input.Name(), false, input.Value(), input.Voltage(), color, input.Value()};
}

} // namespace

int IntegerLoad(float fTP)
{
    const float rounded = vnt::RoundToDecimals(fTP, 2);
    if (!std::isfinite(rounded))
        return 0;
    return vnt::R(static_cast<double>(rounded));
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

AcquisitionLoop::AcquisitionLoop(CVDataAcquisition &daq, const DaqSettings &prefs, const Tune &tune,
                                 TraceMarks &marks, LinkSession &link, RealTimeSender &sender)
    : m_daq(daq), m_prefs(prefs), m_tune(tune), m_marks(marks), m_link(link), m_sender(sender)
{
}

AcquisitionLoop::Acquired AcquisitionLoop::Acquire()
{
    CVDataAcquisition::Cycle cycle = m_daq.PlanCycle();
    m_daq.CallDevice(cycle);
    return EndAcquire(cycle);
}

AcquisitionLoop::Acquired AcquisitionLoop::EndAcquire(CVDataAcquisition::Cycle &cycle)
{
    Acquired out;
    const qint32 code = m_daq.FinishCycle(cycle, out.tp, out.rpm);
    out.readings = std::move(cycle.readings);
    if (m_daq.CallError().isSet()) {
        out.failure = m_daq.CallError().message;
        return out;
    }
    if (code != 0) {
        out.failure = cycle.errorText;
        return out;
    }
    out.ok = true;
    return out;
}

AcquisitionSample AcquisitionLoop::Complete(const Acquired &acquired)
{
    AcquisitionSample sample = Process(acquired);
    m_strip.Show(sample);
    return sample;
}

void AcquisitionLoop::readInputs(const Acquired &acquired, AcquisitionSample &out)
{
    const StagedRevLimiter::Settings staged{m_prefs.StagedRevLimiterEnabled(), m_prefs.StagedRevLimiterInput(),
                                            m_prefs.StagedRevLimiter()};
    out.revLimitShown = staged.enabled;
    for (const CVDAQInput &input : acquired.readings.analog) {
        if (input.IsMAS())
            out.masVoltage = input.Voltage();
        out.inputs.push_back(sampleInput(input, false));
    }
    // Each digital input also runs through the staged rev limiter rule.
    for (const CVDAQInput &input : acquired.readings.digital) {
        out.inputs.push_back(sampleInput(input, true));
        const int tuneLimit = m_tune.general().RevLimiter();
        if (staged.enabled && input.Name() == staged.input)
            out.revLimitRpm = Units::RpmOf(m_link.StagedLimiter().LimitInForce(staged, tuneLimit));
        const bool high = input.Voltage() == 1.0f;
        if (const std::optional<int> write = m_link.StagedInputRead(staged, input.Name(), high, tuneLimit))
            m_sender.SendRealTimeValue(TuneItem::RevLimiter, 0, *write);
    }
}

AcquisitionSample AcquisitionLoop::Process(const Acquired &acquired)
{
    AcquisitionSample out;
    if (!acquired.ok) {
        out.status = acquired.failure;
        out.stagedRevLimitActive = m_link.StagedLimiter().Active();
        return out;
    }
    out.acquired = true;
    out.rpm = acquired.rpm;
    out.tp = acquired.tp;
    readInputs(acquired, out);
    out.tpInt = IntegerLoad(acquired.tp);
    out.status = QStringLiteral("Receiving data.");
    for (const AcquisitionSample::Input &input : out.inputs)
        if (!input.digital && input.name == CVDAQInput::MASName())
            out.masColor = input.thresholdColor;

    // The trace, in the tune itself: the cells the log and the injector
    // figures read are the cells traced, shown on a panel or not.
    EngineTrace::Trace(m_tune, m_marks, out, m_prefs.HighlightMode() == 1);
    const int lowGearEnrichment = m_marks.Of(MapKey::HOFM).LastAccessedValue();
    const int highGearEnrichment = m_marks.Of(MapKey::HOHGFM).LastAccessedValue();
    const int timingMark = m_marks.Of(MapKey::HOTM).LastAccessedValue();

    const InjectorFigures injector = ComputeInjectorFigures(acquired.tp, acquired.rpm, highGearEnrichment);
    out.injectorPW = injector.pulseWidth;
    out.injectorDuty = injector.duty;

    if (m_log) {
        m_log->LogEntry(acquired.rpm, acquired.tp, timingMark, lowGearEnrichment, highGearEnrichment,
                        injector.pulseWidth, injector.duty, acquired.readings.Values());
        // Data still arrives, but a log that stopped must not look as if it ran.
        if (const QString stopped = m_log->StoppedReason(); !stopped.isEmpty())
            out.status = QStringLiteral("Receiving data. ") + stopped;
    }
    out.stagedRevLimitActive = m_link.StagedLimiter().Active();
    return out;
}
