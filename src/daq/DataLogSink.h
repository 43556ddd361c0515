#pragma once

#include <QString>
#include <QtGlobal>

// Where the acquisition tick appends one line per sample (CVRTLogger).
class DataLogSink
{
public:
    virtual ~DataLogSink() = default;
    // Engine speed, load, the traced map values and the injector figures;
    // the inputs' values are taken from the inputs themselves.
    virtual void LogEntry(qint32 lRPM, float fTP, qint32 lTimingMark, qint32 lEnrichmentLowGear,
                          qint32 lEnrichmentHighGear, float fInjectorPulseWidth, float fInjectorDuty) = 0;
    // Empty while lines are written; once the log stopped on a failure, what
    // the real-time strip says about it.
    virtual QString StoppedReason() const { return {}; }
};
