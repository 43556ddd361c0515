// The fuel correction's safety rules: filters, the cap per pass, samples
// spent by an applied correction, damaged settings.

#include "analysis/DataLog.h"
#include "analysis/FuelCorrection.h"
#include "model/Tune.h"
#include "platform/SettingsStore.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Fuel RPM axis 500 .. 8000 (raw 10 .. 160), fuel TP axis 0, 16, .. 240.
Tune axesTune(int enrichment)
{
    Tune tune;
    for (int i = 0; i < 16; ++i) {
        tune.map(MapKey::FUELRPM).SetMapValue(i, 10 + 10 * i);
        tune.map(MapKey::FUELTP).SetMapValue(i, 16 * i);
    }
    for (int e = 0; e < 256; ++e)
        tune.map(MapKey::HOFM).SetMapValue(e, enrichment);
    return tune;
}

struct Row { float tp, afr, coolant; };

DataLog logOf(const std::vector<Row> &rows)
{
    QByteArray text = "DATE/TIME,RPM,TP,AFR,Coolant\r\n";
    for (std::size_t i = 0; i < rows.size(); ++i)
        text += QStringLiteral("2026-01-01 10:%1:%2.000,2000,%3,%4,%5\r\n")
                    .arg(i / 60, 2, 10, QChar('0'))
                    .arg(i % 60, 2, 10, QChar('0'))
                    .arg(rows[i].tp)
                    .arg(rows[i].afr)
                    .arg(rows[i].coolant)
                    .toLatin1();
    return ParseDataLog(text);
}

std::vector<Row> rows(int n, float tp, float afr, float coolant, float tpStep = 0)
{
    std::vector<Row> out;
    for (int i = 0; i < n; ++i)
        out.push_back({tp + tpStep * i, afr, coolant});
    return out;
}

FuelCorrection::Settings chosen()
{
    FuelCorrection::Settings s;
    s.afrColumn = "AFR";
    s.targets.afr.fill(14.7);
    return s;
}

TEST(CorrectionSafety, FiltersLeaveOutSamplesThatWouldMisleadTheCorrection)
{
    struct Case
    {
        const char *what;
        std::vector<Row> rows;
        std::size_t used, decelerating, warmingUp, implausible;
    };
    const Case cases[] = {
        {"steady, warm, plausible", rows(20, 100, 15.5f, 90), 20, 0, 0, 0},
        {"closed throttle", rows(20, 5, 15.5f, 90), 0, 20, 0, 0},
        {"throttle falling", rows(20, 100, 15.5f, 90, -2), 1, 19, 0, 0},
        {"throttle rising is kept", rows(20, 60, 15.5f, 90, 2), 20, 0, 0, 0},
        {"cold engine", rows(20, 100, 15.5f, 40), 0, 0, 20, 0},
        {"an O2 voltage read as a ratio", rows(20, 100, 0.8f, 90), 0, 0, 0, 20},
        {"too lean to be a reading", rows(20, 100, 24.0f, 90), 0, 0, 0, 20},
    };
    const Tune tune = axesTune(20);
    for (const Case &c : cases) {
        const FuelCorrection::Proposal p = FuelCorrection::Compute(logOf(c.rows), tune, chosen());
        ASSERT_TRUE(p.error.isEmpty()) << c.what;
        EXPECT_EQ(p.used, c.used) << c.what;
        EXPECT_EQ(p.decelerating, c.decelerating) << c.what;
        EXPECT_EQ(p.warmingUp, c.warmingUp) << c.what;
        EXPECT_EQ(p.implausible, c.implausible) << c.what;
        std::size_t leftOut = 0;
        for (const auto &cell : p.cells)
            leftOut += static_cast<std::size_t>(cell.leftOut);
        EXPECT_EQ(leftOut, c.decelerating + c.warmingUp + c.implausible) << c.what;
    }
}

TEST(CorrectionSafety, OnePassIsCappedAndAppliedSamplesNeverCorrectTwice)
{
    // Cell (3, 6): 2000 RPM, TP 96; e = 62, very lean (19 against 14.7).
    const int entry = 3 * 16 + 6;
    Tune tune = axesTune(62);
    const DataLog log = logOf(rows(20, 96, 19.0f, 90));
    FuelCorrection::Settings s = chosen();
    FuelCorrection::AppliedCells applied;
    const QString key = FuelCorrection::LogKey(log, "a.csv");

    FuelCorrection::Proposal p = FuelCorrection::Compute(log, tune, s, &applied, key);
    EXPECT_EQ(p.cells[entry].proposedRaw, 86); // 1.62 x 1.15 = 1.863
    EXPECT_TRUE(p.cells[entry].capped);

    // Applied: the same samples never propose the cell again, however the
    // value now reads.
    tune.map(MapKey::HOFM).SetMapValue(entry, 86);
    applied.mark(p.logKey, MapKey::HOFM, entry, p.rows, QDateTime::currentDateTimeUtc());
    p = FuelCorrection::Compute(log, tune, s, &applied, key);
    EXPECT_EQ(p.cells[entry].status, FuelCorrection::CellStatus::Applied);
    EXPECT_FALSE(p.cells[entry].changes());

    // The same log grown by samples taken since (the running log opened
    // again, or its saved copy): only those count.
    std::vector<Row> longer = rows(20, 96, 19.0f, 90);
    for (const Row &r : rows(12, 96, 16.0f, 90))
        longer.push_back(r);
    const DataLog grown = logOf(longer);
    ASSERT_EQ(FuelCorrection::LogKey(grown, "copy.csv"), key);
    p = FuelCorrection::Compute(grown, tune, s, &applied, FuelCorrection::LogKey(grown, "copy.csv"));
    EXPECT_EQ(p.cells[entry].status, FuelCorrection::CellStatus::Proposed);
    EXPECT_EQ(p.cells[entry].samples, 12);
    EXPECT_NEAR(p.cells[entry].measured, 16.0, 1e-6);
}

TEST(CorrectionSafety, SettingsRoundTripAndDamagedValuesKeepTheSafeDefaults)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("prefs.ini"));
    FuelCorrection::Settings s = chosen();
    s.afrFormula = "V*2+10";
    s.transientTp = 4.5;
    s.map = MapKey::LOHGFM;
    s.targets.afr[17] = 13.3;
    ASSERT_TRUE(FuelCorrection::SaveSettings(store, s));
    const FuelCorrection::Settings back = FuelCorrection::LoadSettings(store);
    EXPECT_EQ(back.afrFormula, s.afrFormula);
    EXPECT_DOUBLE_EQ(back.transientTp, 4.5);
    EXPECT_EQ(back.map, MapKey::LOHGFM);
    EXPECT_EQ(back.targets.afr, s.targets.afr);

    store.WriteText("FuelCorrection", "MaxChange", "0"); // no cap at all
    store.WriteText("FuelCorrection", "AFRLow", "21");   // above the high end
    store.WriteText("FuelCorrection", "MinSamples", "-3");
    store.WriteText("FuelCorrection", "Map", "HOTM");
    store.WriteText("FuelCorrection", "Target0", "abc,99,13.1");
    const FuelCorrection::Settings damaged = FuelCorrection::LoadSettings(store);
    EXPECT_EQ(damaged.maxChangePercent, 15);
    EXPECT_EQ(damaged.afrLow, 10);
    EXPECT_EQ(damaged.afrHigh, 20);
    EXPECT_EQ(damaged.minSamples, FuelCorrection::Settings{}.minSamples);
    EXPECT_EQ(damaged.map, MapKey::HOFM);
    EXPECT_EQ(damaged.targets.afr[0], FuelCorrection::TargetTable::Defaults().afr[0]);
    EXPECT_DOUBLE_EQ(damaged.targets.afr[2], 13.1);
}

} // namespace
