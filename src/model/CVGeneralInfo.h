#pragma once

#include <QString>
#include <array>
#include <cstdint>

// The tune's scalars and small tables, raw image values only. Range checks of
// typed values belong to the panels; here a table index outside its range is
// reported (getter -1, setter false) and so is a value the image cannot hold
// (a byte outside 0..255, a 16-bit value outside 0..65535): nothing changes.
class CVGeneralInfo
{
public:
    static constexpr int TableSize = 16;
    static constexpr int IgnitionDutySize = 32;
    static constexpr int VQSize = 64;
    static constexpr int VersionLength = 5;

    int RevLimiter() const { return m_revLimiter; }
    bool SetRevLimiter(int v) { return setByte(m_revLimiter, v); }
    int SpeedLimiter() const { return m_speedLimiter; }
    bool SetSpeedLimiter(int v) { return setByte(m_speedLimiter, v); }
    int InjectorK() const { return m_injectorK; }
    bool SetInjectorK(int v);
    int InjectorBlast() const { return m_injectorBlast; }
    bool SetInjectorBlast(int v) { return setByte(m_injectorBlast, v); }
    int InjectorVoid() const { return m_injectorVoid; }
    bool SetInjectorVoid(int v) { return setByte(m_injectorVoid, v); }
    int VTCRelease() const { return m_vtcRelease; }
    bool SetVTCRelease(int v) { return setByte(m_vtcRelease, v); }

    int TTPMin(int index) const { return get(m_ttpMin, index); }
    bool SetTTPMin(int index, int v) { return set(m_ttpMin, index, v); }
    int TTPMax(int index) const { return get(m_ttpMax, index); }
    bool SetTTPMax(int index, int v) { return set(m_ttpMax, index, v); }
    int TPLimit(int index) const { return get(m_tpLimit, index); }
    bool SetTPLimit(int index, int v) { return set(m_tpLimit, index, v); }
    int AccelEnrich(int index) const { return get(m_accelEnrich, index); }
    bool SetAccelEnrich(int index, int v) { return set(m_accelEnrich, index, v); }
    int IgnitionDuty(int index) const { return get(m_ignitionDuty, index); }
    bool SetIgnitionDuty(int index, int v) { return set(m_ignitionDuty, index, v); }

    QString Version() const { return m_version; }
    void SetVersion(const QString &v) { m_version = v; }

    int VQ(int index) const;
    bool SetVQ(int index, int v);

    // Single filtration is carried by the five K values of single-filtration
    // injectors; any other K, 0 included, means dual filtration.
    bool DualFiltration() const { return !IsSingleFiltrationK(m_injectorK); }
    static bool IsSingleFiltrationK(int k);

    // The version text as the five bytes the image holds: the character codes
    // of its first five characters, 0x00 where the text is shorter.
    QByteArray VersionBytes() const;
    // The text of five image bytes, one character per byte.
    static QString VersionFromBytes(const QByteArray &bytes);

    bool operator==(const CVGeneralInfo &other) const = default;

private:
    template <std::size_t N>
    static int get(const std::array<std::uint8_t, N> &a, int index)
    {
        return index >= 0 && index < static_cast<int>(N) ? a[index] : -1;
    }
    static bool setByte(std::uint8_t &field, int v)
    {
        if (v < 0 || v > 255)
            return false;
        field = static_cast<std::uint8_t>(v);
        return true;
    }
    template <std::size_t N>
    static bool set(std::array<std::uint8_t, N> &a, int index, int v)
    {
        if (index < 0 || index >= static_cast<int>(N))
            return false;
        return setByte(a[index], v);
    }

    std::uint8_t m_revLimiter = 0;
    std::uint8_t m_speedLimiter = 0;
    int m_injectorK = 0;
    std::uint8_t m_injectorBlast = 0;
    std::uint8_t m_injectorVoid = 0;
    std::uint8_t m_vtcRelease = 0;
    std::array<std::uint8_t, TableSize> m_ttpMin{};
    std::array<std::uint8_t, TableSize> m_ttpMax{};
    std::array<std::uint8_t, TableSize> m_tpLimit{};
    std::array<std::uint8_t, TableSize> m_accelEnrich{};
    std::array<std::uint8_t, IgnitionDutySize> m_ignitionDuty{};
    QString m_version;
    std::array<int, VQSize> m_vq{};
};
