#include "model/CVGeneralInfo.h"

int CVGeneralInfo::VQ(int index) const
{
    return index >= 0 && index < VQSize ? m_vq[index] : -1;
}

bool CVGeneralInfo::SetVQ(int index, int v)
{
    if (index < 0 || index >= VQSize || v < 0 || v > 0xFFFF)
        return false;
    m_vq[index] = v;
    return true;
}

bool CVGeneralInfo::SetInjectorK(int v)
{
    if (v < 0 || v > 0xFFFF)
        return false;
    m_injectorK = v;
    return true;
}

bool CVGeneralInfo::IsSingleFiltrationK(int k)
{
    switch (k) {
    case 411: case 288: case 210: case 185: case 131:
        return true;
    default:
        return false;
    }
}

QByteArray CVGeneralInfo::VersionBytes() const
{
    QByteArray bytes(VersionLength, '\0');
    for (int i = 0; i < VersionLength && i < m_version.size(); ++i)
        bytes[i] = static_cast<char>(m_version.at(i).unicode() & 0xFF);
    return bytes;
}

QString CVGeneralInfo::VersionFromBytes(const QByteArray &bytes)
{
    QString text;
    for (char c : bytes)
        text.append(QChar(static_cast<unsigned char>(c)));
    return text;
}
