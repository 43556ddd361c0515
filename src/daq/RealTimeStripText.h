#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

struct AcquisitionSample;

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

    // Shows one tick's sample: a tick whose device failed changes only the
    // status, everything else keeps what the last good tick left; rows no
    // input filled are hidden; thresholds colour a value only while they
    // are on for its input.
    void Show(const AcquisitionSample &sample);
};
