// vantrelle-cli correct: the fuel correction of the application, headless.
//
//   correct LOG.csv --tune IN.vnt --out OUT.vnt [--target AFR] [--delay MS|auto]
//           [--cap PCT] [--map HOFM|HOHGFM|LOFM|LOHGFM] [--afr-column NAME]
//
// (the options are parsed with the others and checked against their ranges
// there).
//
// The settings are the application's (the preferences' targets, filters and
// column) unless given here; each changed cell is one line on stdout, and
// the corrected tune goes to OUT whole.

#include "CliCommon.h"
#include "TuneText.h"

#include "analysis/DataLog.h"
#include "analysis/FuelCorrection.h"
#include "model/ProjectFile.h"
#include "platform/FileIO.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>

namespace cli {

namespace {

int correct(const QStringList &args, const Options &options)
{
    if (args.size() != 1 || options.tune.isEmpty() || options.out.isEmpty())
        return usage(QStringLiteral("correct needs LOG.csv, --tune IN.vnt and --out OUT.vnt"));
    const QString &logPath = args.front();
    if (FileOutcome out = CheckOutputFile(options.out, {logPath, options.tune}); !out)
        return fail(out.error);
    Tune tune;
    int status = ExitOk;
    if (!readProjectToPassOn(options.tune, options, tune, status))
        return status;
    DataLogReport report;
    const DataLog log = ReadDataLog(logPath, &report);
    if (!report.ok)
        return fail(report.error);

    // The application's settings, then what the command line says.
    SettingsStore store;
    FuelCorrection::Settings s = FuelCorrection::LoadSettings(store);
    // A column named here is taken as logged: the preferences' formula
    // belongs to their own column.
    if (!options.afrColumn.isEmpty()) {
        s.afrColumn = options.afrColumn;
        s.afrFormula.clear();
    }
    if (s.afrColumn.isEmpty())
        s.afrColumn = QStringLiteral("AFR");
    if (options.target)
        s.targets.afr.fill(*options.target);
    if (options.capPercent)
        s.maxChangePercent = *options.capPercent;
    if (options.delayMs)
        s.delayMs = *options.delayMs;
    if (options.fuelMap)
        s.map = *options.fuelMap;
    const FuelCorrection::Proposal p = FuelCorrection::Compute(log, tune, s, nullptr, FuelCorrection::LogKey(log, logPath));
    if (!p.error.isEmpty())
        return fail(p.error);
    QByteArray lines;
    CVMapInfo &map = tune.map(p.map);
    for (int e = 0; e < 256; ++e) {
        const FuelCorrection::CellProposal &c = p.cells[std::size_t(e)];
        if (!c.changes())
            continue;
        lines += QStringLiteral("%1: %2 -> %3 (AFR %4, target %5, weight %6)\n")
                     .arg(cellPlace(QLatin1String(CatalogueEntry(p.map).name), tune, p.map, e))
                     .arg(c.currentRaw)
                     .arg(c.proposedRaw)
                     .arg(c.measured, 0, 'f', 2)
                     .arg(c.target)
                     .arg(c.weight, 0, 'f', 1)
                     .toUtf8();
        map.SetMapValue(e, c.proposedRaw);
    }
    if (FileOutcome w = WriteProjectFile(options.out, tune); !w)
        return fail(w.error);
    print(lines);
    std::fprintf(stderr, "%s\n", qPrintable(FuelCorrection::Summary(p, s)));
    return ExitOk;
}

} // namespace

int runCorrectCommand(const QString &command, const QStringList &args, const Options &options)
{
    if (command != QLatin1String("correct"))
        return -1;
    return correct(args, options);
}

} // namespace cli
