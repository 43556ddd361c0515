#include "link/StagedRevLimiter.h"

#include <utility>

std::optional<int> StagedRevLimiter::InputRead(const Settings &settings, const QString &name, bool high,
                                               int tuneLimit)
{
    if (settings.enabled && name == settings.input) {
        if (!m_active && high) {
            m_active = true;
            return settings.limit;
        }
        if (m_active && !high) {
            m_active = false;
            return tuneLimit;
        }
        return std::nullopt;
    }
    if (!settings.enabled && m_active) {
        // Switched off while its limit was in force: the tune's limit goes back.
        m_active = false;
        return tuneLimit;
    }
    return std::nullopt;
}

std::optional<int> StagedRevLimiter::RealTimeEnding(int tuneLimit)
{
    const bool wasActive = std::exchange(m_active, false);
    return wasActive ? std::optional<int>(tuneLimit) : std::nullopt;
}
