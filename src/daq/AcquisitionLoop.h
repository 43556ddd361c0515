#pragma once

#include "daq/AcquisitionSample.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

class CVDataAcquisition;
class DaqSettings;
class DataLogSink;
class RealTimeSender;
struct ProgramState;

// One input row of the real-time strip (lblInput, lblValue, picDigitalOn0,
// picDigitalOff0 of one index).
struct RealTimeStripRow
{
    enum class Kind {
        Hidden,  // nothing of the row is shown
        Analog,  // lblInput and lblValue shown, both pictures hidden
        Digital, // lblInput and one picture shown (On when high), lblValue hidden
    };
    Kind kind = Kind::Hidden;
    QString name;      // lblInput
    QString valueText; // lblValue
    // Text colour of lblValue, set by thresholds; unset until a threshold
    // first coloured it, and kept when thresholds are off.
    std::optional<quint32> valueColor;
    bool high = false; // digital rows: picDigitalOn0 (true) or picDigitalOff0
};

// Everything the real-time strip of the main window shows, as plain data.
// Texts start as the strip's design-time texts.
struct RealTimeStrip
{
    static constexpr int RowCount = 28;

    QString status = QStringLiteral("No data available."); // lblRTStatus
    QString rpm = QStringLiteral("0000");                  // lblRTRPM
    QString tp = QStringLiteral("000");                    // lblRTTP
    QString mas = QStringLiteral("0.0v");                  // lblRTMAS
    std::optional<quint32> masColor;                       // its text colour, as for rows
    QString injectorPW = QStringLiteral("0.00 ms");        // lblRTInjPW
    QString injectorDuty = QStringLiteral("0%");           // lblRTInjDuty
    bool revLimitVisible = false;                          // lblRTStagedRevLimiter, lblRevLimitValue
    QString revLimitValue = QStringLiteral("0000");        // lblRevLimitValue
    std::array<RealTimeStripRow, RowCount> rows;
    int rowsInUse = 0;
};

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
// its views; the command-line tool runs the same ticks. One tick reads the
// device, fills the strip (values, threshold colours, input rows), switches
// the staged rev limiter through the real-time write when its digital input
// changes, traces the engine's cell in the tune (EngineTrace, whether or not
// a panel shows it), computes the injector figures from the traced
// high-gear enrichment and appends a log line with the traced values.
//
// A tick ends early only when the device fails (the driver cannot be called
// or returns an error code): the status shows why and everything else keeps
// what the last good tick left. A failing formula or a missing "MAS" input
// gives value 0 or load 0 and the tick goes on.
//
// Tick() may be entered again while it waits in a real-time write (the
// write is modal and the timer keeps firing); the staged rev limiter flag is
// changed before the write, so the inner tick sends nothing for the same edge.
class AcquisitionLoop
{
public:
    AcquisitionLoop(CVDataAcquisition &daq, const DaqSettings &prefs, ProgramState &state,
                      RealTimeSender &sender);

    // Optional (nullptr: no log).
    void SetLogSink(DataLogSink *log) { m_log = log; }

    // One tick; the sample holds everything it produced.
    AcquisitionSample Tick();

    const RealTimeStrip &Strip() const { return m_strip; }
    // Back to the design-time texts (a new run of real-time mode).
    void ResetStrip() { m_strip = RealTimeStrip(); }

private:
    void runStagedRevLimiter(const QString &inputName, bool high);

    CVDataAcquisition &m_daq;
    const DaqSettings &m_prefs;
    ProgramState &m_state;
    RealTimeSender &m_sender;
    DataLogSink *m_log = nullptr;
    RealTimeStrip m_strip;
};
