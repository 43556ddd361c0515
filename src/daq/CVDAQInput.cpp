#include "daq/CVDAQInput.h"

#include "daq/CVScalingCalculator.h"

ErrorRecord CVDAQInput::SetVoltage(float rawReading, CVScalingCalculator &calculator)
{
    m_voltage = rawReading + m_voltageCorrection;
    FormulaResult r = calculator.ComputeFormula(m_scalingFormula, m_voltage);
    m_value = r.value;
    return std::move(r.error);
}

QString CVDAQInput::ChannelName(qint32 inputType, qint32 channel)
{
    switch (inputType) {
    case SingleEnded:
        return QStringLiteral("AI%1").arg(channel);
    case Differential: {
        // Wide enough for any stored number, however damaged.
        const qint64 first = static_cast<qint64>(channel) * 2;
        return QStringLiteral("AI%1-AI%2").arg(first).arg(first + 1);
    }
    case Digital:
        return channel >= 16 ? QStringLiteral("IO%1").arg(channel - 16) : QStringLiteral("D%1").arg(channel);
    default:
        return QString::number(channel);
    }
}

QString CVDAQInput::TypeName(qint32 inputType)
{
    switch (inputType) {
    case SingleEnded:
        return QStringLiteral("Single");
    case Differential:
        return QStringLiteral("Differential");
    case Digital:
        return QStringLiteral("Digital");
    default:
        return QString();
    }
}
