#pragma once

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
};
