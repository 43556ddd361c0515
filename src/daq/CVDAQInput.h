#pragma once

#include "platform/ErrorRecord.h"

#include <QString>
#include <QtGlobal>

class CVScalingCalculator;

// One sensor wired to the data-acquisition unit: its channel and wiring, the
// voltage correction, the scaling formula and the display thresholds, and
// the voltage and scaled value of the last sample.
//
// The input named "MAS" (the airflow meter) feeds the engine-load value and
// the map trace; it always exists.
class CVDAQInput
{
public:
    enum Type : qint32 { SingleEnded = 0, Differential = 1, Digital = 2 };

    // Default threshold colours (red in the low byte, then green, then blue).
    static constexpr quint32 DefaultWarningColor = 49344;  // RGB(192, 192, 0)
    static constexpr quint32 DefaultCriticalColor = 255;   // RGB(255, 0, 0)
    static constexpr quint32 DefaultNormalColor = 32768;   // RGB(0, 128, 0)

    static QString MASName() { return QStringLiteral("MAS"); }

    QString Name() const { return m_name; }
    void SetName(const QString &v) { m_name = v; }
    // Channel within the type: 0..7 single-ended (AI0..AI7), 0..3
    // differential (AI0-AI1..AI6-AI7), 0..15 digital D0..D15, 16..19 IO0..IO3.
    qint32 DAQInput() const { return m_daqInput; }
    void SetDAQInput(qint32 v) { m_daqInput = v; }
    qint32 InputType() const { return m_inputType; }
    void SetInputType(qint32 v) { m_inputType = v; }
    // Gain code 0..7 (x1, 2, 4, 5, 8, 10, 16, 20), differential inputs only.
    qint32 Gain() const { return m_gain; }
    void SetGain(qint32 v) { m_gain = v; }
    float VoltageCorrection() const { return m_voltageCorrection; }
    void SetVoltageCorrection(float v) { m_voltageCorrection = v; }
    QString ScalingFormula() const { return m_scalingFormula; }
    void SetScalingFormula(const QString &v) { m_scalingFormula = v; }
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool v) { m_enabled = v; }

    // The corrected voltage of the last sample (a digital line: 0 or 1 plus
    // the correction).
    float Voltage() const { return m_voltage; }
    // Takes a raw reading: Voltage becomes reading + VoltageCorrection and
    // Value the scaling formula's result for it (0 when the formula fails;
    // the evaluation's error record is returned).
    ErrorRecord SetVoltage(float rawReading, CVScalingCalculator &calculator);
    // The scaled value of the last sample; changes only through SetVoltage.
    float Value() const { return m_value; }

    bool ThresholdsEnabled() const { return m_thresholdsEnabled; }
    void SetThresholdsEnabled(bool v) { m_thresholdsEnabled = v; }
    float WarningThreshold() const { return m_warningThreshold; }
    void SetWarningThreshold(float v) { m_warningThreshold = v; }
    quint32 WarningThresholdColor() const { return m_warningThresholdColor; }
    void SetWarningThresholdColor(quint32 v) { m_warningThresholdColor = v; }
    float CriticalThreshold() const { return m_criticalThreshold; }
    void SetCriticalThreshold(float v) { m_criticalThreshold = v; }
    quint32 CriticalThresholdColor() const { return m_criticalThresholdColor; }
    void SetCriticalThresholdColor(quint32 v) { m_criticalThresholdColor = v; }
    quint32 NormalThresholdColor() const { return m_normalThresholdColor; }
    void SetNormalThresholdColor(quint32 v) { m_normalThresholdColor = v; }

    bool IsAnalog() const { return m_inputType != Digital; }
    bool IsMAS() const { return m_name == MASName(); }

    // The channel's name as the user sees it: "AI3", "AI2-AI3", "D7", "IO1".
    static QString ChannelName(qint32 inputType, qint32 channel);
    QString ChannelName() const { return ChannelName(m_inputType, m_daqInput); }
    // "Single", "Differential", "Digital".
    static QString TypeName(qint32 inputType);

private:
    QString m_name;
    qint32 m_daqInput = 0;
    qint32 m_inputType = 0;
    qint32 m_gain = 0;
    float m_voltageCorrection = 0.0f;
    QString m_scalingFormula;
    bool m_enabled = false;
    float m_voltage = 0.0f;
    float m_value = 0.0f;
    bool m_thresholdsEnabled = false;
    float m_warningThreshold = 0.0f;
    quint32 m_warningThresholdColor = 0;
    float m_criticalThreshold = 0.0f;
    quint32 m_criticalThresholdColor = 0;
    quint32 m_normalThresholdColor = 0;
};
