#pragma once

#include "model/MapCatalogue.h"

#include <QMetaType>
#include <QString>
#include <QVector>
#include <QtGlobal>
#include <optional>

// What one acquisition tick produced, for every view that shows live engine
// data (the strip's companions, the traced panels, the gauges, the 3D map
// view): plain values, copied once per tick. The acquisition loop fills it;
// views only paint what it holds.
struct AcquisitionSample
{
    // One enabled input of the tick (analog: scaled value; digital: 0 or 1).
    struct Input
    {
        QString name;
        bool digital = false;
        float value = 0.0f;   // scaled value (digital: 1 when high, else 0)
        float voltage = 0.0f; // corrected voltage
        // Text colour from the thresholds (0x00BBGGRR: red in the low byte);
        // unset while thresholds are off for the input.
        std::optional<quint32> thresholdColor;
        // The scaled value as the log records it (a digital input's formula
        // of 0 or 1).
        float scaled = 0.0f;
    };

    // The cell of one traced map the engine ran in this tick (the map's
    // LastRPMIndex, LastTPIndex and LastAccessedValue after the tick), and
    // the cell it ran in before.
    struct TracedCell
    {
        MapKey map = MapKey::HOFM;
        int rpmIndex = -1; // row 0..15
        int tpIndex = -1;  // column 0..15
        int value = 0;     // the cell's display value
        int previousRpmIndex = -1;
        int previousTpIndex = -1;
    };

    bool acquired = false;     // false: the device failed; only status is meaningful
    QString status;            // the strip's status text ("Receiving data." or the driver's error)
    qint32 rpm = 0;
    float tp = 0.0f;           // engine load
    int tpInt = 0;             // engine load as used for the trace
    float masVoltage = 0.0f;   // corrected "MAS" voltage (0 without an enabled "MAS")
    std::optional<quint32> masColor;
    float injectorPW = 0.0f;   // ms
    float injectorDuty = 0.0f; // %
    bool stagedRevLimitActive = false;
    // The staged rev limiter's labels: shown while it is enabled; the limit
    // in force before the tick, in RPM, once its input was read.
    bool revLimitShown = false;
    std::optional<int> revLimitRpm;
    QVector<Input> inputs;     // analog inputs (incl. "MAS") first, then digital, in strip order

    // The trace; empty or 0 when the device failed.
    QVector<TracedCell> cells; // HOFM, HOHGFM, HOTM
    // Highlight mode "All cells": every traced cell became a trace point of
    // its map and stays marked until cleared.
    bool visitedCellsKept = false;
    int ttpMinIndex = 0;       // TTP Min box
    int rpmColumn = 0;         // Fuel RPM Map column (TTP Max, TP Limit, ignition dwell)
    int vqIndex = 0;           // VQ box

    // The traced cell of a map, or nullptr.
    const TracedCell *cellOf(MapKey map) const
    {
        for (const TracedCell &c : cells)
            if (c.map == map)
                return &c;
        return nullptr;
    }
};

Q_DECLARE_METATYPE(AcquisitionSample)
