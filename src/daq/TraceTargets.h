#pragma once

// The panels the acquisition tick hands engine speed and load to, so that
// they mark the map cell or table entry the engine is using. The main window
// implements it by passing each call on to the panel object at that panel
// index (a panel index without a panel object ignores the call). Calls come
// once per tick, in this order: TraceCell for 7, 8 and 11, TraceCellRPM for 4
// and 5, TraceCellVoltage for 13.
class TraceTargets
{
public:
    virtual ~TraceTargets() = default;

    // The fuel and timing grid panel, for panel index 7 (HOFM), 8 (HOHGFM) or
    // 11 (HOTM): rpm in revolutions per minute, tp the integer load in the
    // raw units of the TP axis map. It moves the map's LastRPMIndex,
    // LastTPIndex and LastAccessedValue, which the tick reads right after.
    virtual void TraceCell(int panelIndex, int rpm, int tp) = 0;
    // The TTP panel (4) and the ignition dwell panel (5).
    virtual void TraceCellRPM(int panelIndex, int rpm) = 0;
    // The VQ table panel (13): the corrected "MAS" voltage (0 when there is
    // no enabled "MAS" input).
    virtual void TraceCellVoltage(int panelIndex, float volts) = 0;
};
