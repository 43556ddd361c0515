#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>
#include <QtGlobal>
#include <optional>

// What one acquisition tick produced, for every view that shows live engine
// data beyond the real-time strip (gauges, the 3D map view). Plain values,
// copied once per tick; AcquisitionCommands emits it after each tick.
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
    };

    // One map cell the trace marked this tick (panels 7 HOFM, 8 HOHGFM, 11 HOTM).
    struct TracedCell
    {
        int panelIndex = -1;
        int rpmIndex = -1; // the map's LastRPMIndex
        int tpIndex = -1;  // the map's LastTPIndex
        int value = 0;     // the map's LastAccessedValue
    };

    bool acquired = false;     // false: the device failed; only status is meaningful
    QString status;            // the strip's status text ("Receiving data." or the driver's error)
    qint32 rpm = 0;
    float tp = 0.0f;           // engine load
    int tpInt = 0;             // engine load as used for the trace
    float masVoltage = 0.0f;   // corrected "MAS" voltage
    std::optional<quint32> masColor;
    float injectorPW = 0.0f;   // ms
    float injectorDuty = 0.0f; // %
    bool stagedRevLimitActive = false;
    QVector<Input> inputs;     // analog inputs (incl. "MAS") first, then digital, in strip order
    QVector<TracedCell> cells; // empty when the device failed
};

Q_DECLARE_METATYPE(AcquisitionSample)
