// Writes the four stock images the resource module ships when no real ones
// are supplied: plausible tunes of a turbo (TT) and a naturally aspirated (NA)
// engine, automatic and 5-speed, each a 32768-byte image in which every byte
// outside the modelled regions is 0xFF.

#include "model/ImageFile.h"
#include "platform/Rounding.h"
#include "model/Tune.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct Flavour
{
    int resource;
    const char *version;
    bool turbo;
    bool automatic;
};

int clampByte(double v) { return static_cast<int>(std::clamp<long long>(vnt::RoundHalfEven(v), 0, 255)); }

void fillAxes(Tune &t, bool turbo)
{
    // RPM axes as RPM / 50, ascending, 500 to 7000 RPM.
    const int rpm[16] = {10, 14, 18, 22, 26, 30, 36, 42, 48, 60, 72, 84, 96, 108, 124, 140};
    for (int i = 0; i < 16; ++i) {
        t.map(MapKey::FUELRPM).SetMapValue(i, rpm[i]);
        t.map(MapKey::TIMINGRPM).SetMapValue(i, rpm[i]);
        // Load axes: the turbo engine reaches higher load.
        t.map(MapKey::FUELTP).SetMapValue(i, (turbo ? 12 : 10) * (i + 1));
        t.map(MapKey::TIMINGTP).SetMapValue(i, (turbo ? 12 : 10) * (i + 1) - 4);
    }
}

// Light load runs closed loop (raw 192 shows 0 % trim); past the loop limit
// the cells are open-loop enrichment in percent, growing with load and RPM.
void fillFuel(CVMapInfo &m, double richness, int loopColumn)
{
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            int raw;
            if (c < loopColumn && r < 12)
                raw = 192 + (c == loopColumn - 1 ? 2 : 0);
            else
                raw = clampByte(richness * (4 + 2.2 * c + 0.8 * r));
            m.SetMapValue(r * 16 + c, std::min(raw, 255));
        }
}

// Advance in degrees: most at light load and mid RPM, pulled back with load.
void fillTiming(CVMapInfo &m, double base, double loadPull)
{
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            const double rpmGain = std::min(r, 9) * 1.6;
            m.SetMapValue(r * 16 + c, clampByte(std::clamp(base + rpmGain - loadPull * c, 4.0, 45.0)));
        }
}

Tune makeTune(const Flavour &f)
{
    Tune t;
    fillAxes(t, f.turbo);
    const double rich = f.turbo ? 1.25 : 1.0;
    fillFuel(t.map(MapKey::HOFM), rich, f.turbo ? 6 : 8);
    fillFuel(t.map(MapKey::HOHGFM), rich * 1.1, f.turbo ? 5 : 7);
    fillFuel(t.map(MapKey::LOFM), rich * 1.15, f.turbo ? 5 : 7);
    fillFuel(t.map(MapKey::LOHGFM), rich * 1.25, f.turbo ? 4 : 6);
    fillTiming(t.map(MapKey::HOTM), f.turbo ? 24 : 28, f.turbo ? 1.4 : 1.0);
    fillTiming(t.map(MapKey::LOTM), f.turbo ? 20 : 24, f.turbo ? 1.6 : 1.2);

    CVGeneralInfo &g = t.general();
    g.SetRevLimiter(f.turbo ? 140 : 144);          // 7000 / 7200 RPM
    g.SetSpeedLimiter(f.automatic ? 90 : 101);      // about 112 / 125 MPH
    g.SetInjectorK(f.turbo ? 411 : 288);            // single-filtration injectors
    g.SetInjectorBlast(f.turbo ? 22 : 18);
    g.SetInjectorVoid(f.turbo ? 30 : 26);
    g.SetVTCRelease(f.turbo ? 100 : 104);           // 5000 / 5200 RPM
    for (int i = 0; i < 16; ++i) {
        g.SetTTPMin(i, clampByte(20 + i * (f.turbo ? 9 : 7)));
        g.SetTTPMax(i, clampByte(40 + i * (f.turbo ? 12 : 9)));
        g.SetTPLimit(i, clampByte((f.turbo ? 120 : 100) + i * 6));
    }
    for (int i = 0; i < 32; ++i)
        g.SetIgnitionDuty(i, clampByte(40 + i * 5));
    // The airflow meter's curve: flow rising faster than voltage.
    for (int i = 0; i < 64; ++i)
        g.SetVQ(i, static_cast<int>(std::lround(60 + std::pow(i, 2.2) * (f.turbo ? 4.1 : 3.3))));
    g.SetVersion(QString::fromLatin1(f.version));
    return t;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrelle-stockgen OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const Flavour flavours[] = {
        {105, "TTA01", true, true},
        {104, "TT501", true, false},
        {103, "NAA01", false, true},
        {101, "NA501", false, false},
    };
    for (const Flavour &f : flavours) {
        const QByteArray image = PatchImage(QByteArray(ImageFormat::Size, '\xFF'), makeTune(f));
        const QString path = out.filePath(QStringLiteral("%1.bin").arg(f.resource));
        if (FileOutcome w = WriteImageFile(path, image); !w) {
            std::fprintf(stderr, "vantrelle-stockgen: %s: %s\n", qPrintable(path), qPrintable(w.error));
            return 1;
        }
    }
    return 0;
}
