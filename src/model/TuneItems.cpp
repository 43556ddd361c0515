#include "model/TuneItems.h"

const std::array<TuneItem, TuneItemCount> &TuneItems()
{
    static const std::array<TuneItem, TuneItemCount> items{{
        {1, "High Octane Fuel Map", 0x7D00, 256},
        {2, "Low Octane Fuel Map", 0x7100, 256},
        {3, "High Octane High Gear Fuel Map", 0x7000, 256},
        {4, "Low Octane High Gear Fuel Map", 0x7200, 256},
        {5, "RPM Fuel Map", 0x7B00, 16},
        {6, "TP Fuel Map", 0x7AF0, 16},
        {7, "Low Octane Timing Map", 0x7C00, 256},
        {8, "High Octane Timing Map", 0x7800, 256},
        {9, "RPM Timing Map", 0x7B20, 16},
        {10, "TP Timing Map", 0x7B10, 16},
        {11, "Rev Limiter", 0x7FB4, 1},
        {12, "Speed Limiter", 0x7FA5, 1},
        {13, "Injector K", 0x7F2B, 2},
        {14, "Injector Blast", 0x7F91, 1},
        {15, "Injector Void", 0x7F88, 1},
        {16, "VTC Release", 0x79F6, 1},
        {17, "Version", 0x6AD1, 5},
        {18, "TTP Min Map", 0x7E80, 16},
        {19, "TTP Max Map", 0x7E90, 16},
        {20, "TP Limit Map", 0x7960, 16},
        {21, "Acceleration Enrichment Map", -1, 16},
        {22, "Ignition Dwell Duty Map", 0x7B60, 32},
        {23, "VQ Table", 0x7A70, 128},
    }};
    return items;
}

const TuneItem *FindTuneItem(int number)
{
    if (number < 1 || number > TuneItemCount)
        return nullptr;
    return &TuneItems()[number - 1];
}

namespace {

template <typename Get>
QByteArray tableBytes(int count, Get get)
{
    QByteArray out(count, '\0');
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<char>(get(i));
    return out;
}

template <typename Set>
void storeTable(const QByteArray &data, Set set)
{
    for (int i = 0; i < data.size(); ++i)
        set(i, static_cast<unsigned char>(data[i]));
}

} // namespace

QByteArray ItemBytes(const Tune &tune, int number)
{
    const CVGeneralInfo &g = tune.general();
    const TuneItem *item = FindTuneItem(number);
    if (!item)
        return {};
    if (number <= 10) {
        const CVMapInfo *m = tune.mapAt(item->address);
        return m ? m->Bytes() : QByteArray();
    }
    switch (number) {
    case 11: return QByteArray(1, static_cast<char>(g.RevLimiter()));
    case 12: return QByteArray(1, static_cast<char>(g.SpeedLimiter()));
    case 13: {
        QByteArray k(2, '\0');
        k[0] = static_cast<char>((g.InjectorK() >> 8) & 0xFF);
        k[1] = static_cast<char>(g.InjectorK() & 0xFF);
        return k;
    }
    case 14: return QByteArray(1, static_cast<char>(g.InjectorBlast()));
    case 15: return QByteArray(1, static_cast<char>(g.InjectorVoid()));
    case 16: return QByteArray(1, static_cast<char>(g.VTCRelease()));
    case 17: return g.VersionBytes();
    case 18: return tableBytes(16, [&](int i) { return g.TTPMin(i); });
    case 19: return tableBytes(16, [&](int i) { return g.TTPMax(i); });
    case 20: return tableBytes(16, [&](int i) { return g.TPLimit(i); });
    case 21: return tableBytes(16, [&](int i) { return g.AccelEnrich(i); });
    case 22: return tableBytes(32, [&](int i) { return g.IgnitionDuty(i); });
    case 23: {
        QByteArray out(128, '\0');
        for (int i = 0; i < 64; ++i) {
            out[2 * i] = static_cast<char>((g.VQ(i) >> 8) & 0xFF);
            out[2 * i + 1] = static_cast<char>(g.VQ(i) & 0xFF);
        }
        return out;
    }
    }
    return {};
}

bool StoreItemBytes(Tune &tune, int number, const QByteArray &data)
{
    const TuneItem *item = FindTuneItem(number);
    if (!item || data.size() != item->size)
        return false;
    CVGeneralInfo &g = tune.general();
    auto byte = [&](int i) { return static_cast<unsigned char>(data[i]); };
    if (number <= 10) {
        CVMapInfo *m = tune.mapAt(item->address);
        if (!m)
            return false;
        m->SetMap(data + QByteArray(1, '\0')); // SetMap drops the trailing checksum slot
        return true;
    }
    switch (number) {
    case 11: g.SetRevLimiter(byte(0)); break;
    case 12: g.SetSpeedLimiter(byte(0)); break;
    case 13: g.SetInjectorK(byte(0) * 256 + byte(1)); break;
    case 14: g.SetInjectorBlast(byte(0)); break;
    case 15: g.SetInjectorVoid(byte(0)); break;
    case 16: g.SetVTCRelease(byte(0)); break;
    case 17: g.SetVersion(CVGeneralInfo::VersionFromBytes(data)); break;
    case 18: storeTable(data, [&](int i, int v) { g.SetTTPMin(i, v); }); break;
    case 19: storeTable(data, [&](int i, int v) { g.SetTTPMax(i, v); }); break;
    case 20: storeTable(data, [&](int i, int v) { g.SetTPLimit(i, v); }); break;
    case 21: storeTable(data, [&](int i, int v) { g.SetAccelEnrich(i, v); }); break;
    case 22: storeTable(data, [&](int i, int v) { g.SetIgnitionDuty(i, v); }); break;
    case 23:
        for (int i = 0; i < 64; ++i)
            g.SetVQ(i, byte(2 * i) * 256 + byte(2 * i + 1));
        break;
    }
    return true;
}
