#include "daq/AcquisitionHealth.h"

void AcquisitionHealth::Reset()
{
    m_completed.clear();
    m_skipped = 0;
}

void AcquisitionHealth::NoteCompleted(qint64 nowMs)
{
    m_completed.push_back(nowMs);
    while (m_completed.size() > 2 && nowMs - m_completed.front() > WindowMs)
        m_completed.pop_front();
}

double AcquisitionHealth::SamplesPerSecond() const
{
    if (m_completed.size() < 2)
        return 0.0;
    const qint64 span = m_completed.back() - m_completed.front();
    if (span <= 0)
        return 0.0;
    return static_cast<double>(m_completed.size() - 1) * 1000.0 / static_cast<double>(span);
}

QString AcquisitionHealth::Text(std::optional<qint64> writeRoundTripMs) const
{
    QString text = QStringLiteral("%1 samples/s, %2 skipped")
                       .arg(QString::number(SamplesPerSecond(), 'f', 1))
                       .arg(m_skipped);
    if (writeRoundTripMs)
        text += QStringLiteral(", write %1 ms").arg(*writeRoundTripMs);
    return text;
}
