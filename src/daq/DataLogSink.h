#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

// Where the acquisition tick appends one line per sample (CVRTLogger).
class DataLogSink
{
public:
    virtual ~DataLogSink() = default;
    // Engine speed, load, the traced map values, the injector figures and
    // every enabled input's value of the tick (analog inputs first, in the
    // order of the header's columns).
    virtual void LogEntry(qint32 lRPM, float fTP, qint32 lTimingMark, qint32 lEnrichmentLowGear,
                          qint32 lEnrichmentHighGear, float fInjectorPulseWidth, float fInjectorDuty,
                          const std::vector<float> &inputValues) = 0;
    // Empty while lines are written; once the log stopped on a failure, what
    // the real-time strip says about it.
    virtual QString StoppedReason() const { return {}; }
};
