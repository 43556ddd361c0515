#pragma once

#include "daq/AcquisitionSample.h"
#include "daq/CVDataAcquisition.h"
#include "daq/DaqReadings.h"
#include "daq/RealTimeStripText.h"
#include "platform/ErrorRecord.h"

#include <QString>
#include <QtGlobal>

class DaqSettings;
class DataLogSink;
class LinkSession;
class RealTimeSender;
class TraceMarks;
class Tune;

// The injector pulse width (ms) and duty cycle (%) for a load, an engine
// speed and the high-gear enrichment: base = TP x 0.125, pulse width =
// base x e / 100 + base, duty = pulse width over two revolutions, both to 2
// decimal places, the duty at most 100 and 0 at 0 RPM.
struct InjectorFigures
{
    float pulseWidth = 0.0f;
    float duty = 0.0f;
};
InjectorFigures ComputeInjectorFigures(float fTP, qint32 rpm, int enrichmentHighGear);

// tpInt: the load rounded to 2 decimal places, then to an integer, halves to
// even both times (19.98 -> 20, 19.5 -> 20, 18.5 -> 18).
int IntegerLoad(float fTP);

// The real-time acquisition tick, without widgets: the main window runs
// Tick() from its acquisition timer, shows Strip() and hands the sample to
// its views; the command-line tool runs the same ticks. A tick is two parts:
//
// - Acquire() reads the device (the one part that waits on it), at once or
//   split around an acquisition thread: BeginAcquire() here, the device
//   calls there (CVDataAcquisition::CallDevice), EndAcquire() here again,
//   which gives what Acquire() gives for the same answers;
// - Process() decides everything else from those readings, in order: the
//   input values and their threshold colours, the staged rev limiter's
//   switch through the real-time write when its digital input changes, the
//   trace of the engine's cell in the tune (EngineTrace, whether or not a
//   panel shows it), the injector figures from the traced high-gear
//   enrichment, and a log line with the traced values.
//
// A tick ends early only when the device fails (the driver cannot be called
// or returns an error code): the sample says why and the strip keeps what
// the last good tick left. A failing formula or a missing "MAS" input gives
// value 0 or load 0 and the tick goes on.
//
// A tick may be entered again while it waits in a real-time write (the
// write is modal and the timer keeps firing); the staged rev limiter changes
// its state before the write, so the inner tick sends nothing for the same
// edge.
class AcquisitionLoop
{
public:
    // What the device gave for one tick.
    struct Acquired
    {
        bool ok = false;
        QString failure; // why not, when not ok (the driver's or the platform's text)
        qint32 rpm = 0;
        float tp = 0.0f;
        DaqReadings readings;
    };

    AcquisitionLoop(CVDataAcquisition &daq, const DaqSettings &prefs, const Tune &tune, TraceMarks &marks,
                    LinkSession &link, RealTimeSender &sender);

    // Optional (nullptr: no log).
    void SetLogSink(DataLogSink *log) { m_log = log; }

    Acquired Acquire();
    CVDataAcquisition::Cycle BeginAcquire() { return m_daq.PlanCycle(); }
    Acquired EndAcquire(CVDataAcquisition::Cycle &cycle);
    AcquisitionSample Process(const Acquired &acquired);
    // One tick, both parts; the strip shows its sample.
    AcquisitionSample Tick() { return Complete(Acquire()); }
    // The rest of a tick whose device part is done: Process, and the strip
    // shows the sample.
    AcquisitionSample Complete(const Acquired &acquired);

    const RealTimeStrip &Strip() const { return m_strip; }
    // Back to the design-time texts (a new run of real-time mode).
    void ResetStrip() { m_strip = RealTimeStrip(); }

private:
    void readInputs(const Acquired &acquired, AcquisitionSample &out);

    CVDataAcquisition &m_daq;
    const DaqSettings &m_prefs;
    const Tune &m_tune;
    TraceMarks &m_marks;
    LinkSession &m_link;
    RealTimeSender &m_sender;
    DataLogSink *m_log = nullptr;
    RealTimeStrip m_strip;
};
