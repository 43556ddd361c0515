#include "daq/CVStack.h"

std::string CVStack::Pop()
{
    if (m_entries.empty())
        return {};
    std::string top = std::move(m_entries.back());
    m_entries.pop_back();
    return top;
}

QStringList CVStack::GetRawStack() const
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(m_entries.size()));
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        list << QString::fromStdString(*it);
    return list;
}
