#pragma once

#include "model/MapCatalogue.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstddef>
#include <optional>

struct DataLog;
class SettingsStore;
class Tune;

// Where a logged sample lands on a map: the same nearest-axis rule as the
// live trace. The RPM row is the RPM axis entry nearest to R(RPM / 50), the
// TP column the TP axis entry nearest to the load as the acquisition tick
// rounds it (two decimals, then R); the axes are the body map's own (fuel
// axes for the four fuel maps, timing axes for the two timing maps).
namespace CellOverlay {

struct Cell
{
    int rpmIndex = 0; // 0..15
    int tpIndex = 0;  // 0..15
    int entry() const { return rpmIndex * 16 + tpIndex; }
};

// The cell of one sample; nothing when RPM or TP is missing (NaN) or the
// map is not a body map.
std::optional<Cell> CellOf(const Tune &tune, MapKey body, float rpm, float tp);

// Counts (and the average of one column) per body cell over rows
// [firstRow, endRow).
struct Result
{
    MapKey map = MapKey::HOFM;
    std::array<int, 256> counts{};
    // Average of the chosen column per cell over the samples that have a
    // value in it (NaN where none); all NaN when no column was chosen.
    std::array<double, 256> averages{};
    int averageColumn = -1;
    // Seconds the engine spent in each cell: each placed row holds until
    // the next line of the log, at most MaxHoldSeconds.
    std::array<double, 256> seconds{};
    std::size_t samples = 0; // rows placed in a cell
    std::size_t skipped = 0; // rows without RPM or TP
};

// The longest a row counts as time in its cell: the slowest sample period.
// A longer gap is logging paused, not the engine standing in the cell.
inline constexpr double MaxHoldSeconds = 2.5;

// rpmColumn and tpColumn index DataLog::columns; averageColumn may be -1.
// An end beyond the log is taken as its end.
Result Compute(const DataLog &log, const Tune &tune, MapKey body, int rpmColumn, int tpColumn, int averageColumn,
               std::size_t firstRow = 0, std::size_t endRow = static_cast<std::size_t>(-1));

enum class Show { Counts, Averages, Both, Time };

// A cell's note on the grid, longest form first: "12 | 14.53", then
// shorter ("12|14.5", "12|15", "12"); counts from 10000 up in thousands
// ("12k"); time in a cell as "1.25s", "1.3s", "1s". Empty for a cell
// without samples.
QStringList NoteForms(const Result &overlay, int entry, Show show);
// The full figures for the cell's tooltip, e.g. "12 samples, average AFR
// 14.5312"; empty for a cell without samples.
QString NoteTip(const Result &overlay, int entry, const QString &columnName);

// What the overlay dialog remembers, in section "MapOverlay" of the
// preferences store: Map (catalogue key), Column (name; empty: none), Show
// (Counts, Averages, Both or Time), InView (0 or 1).
struct Settings
{
    MapKey map = MapKey::HOFM;
    QString column;
    Show show = Show::Counts;
    bool inView = false;
};
Settings LoadSettings(const SettingsStore &store);
bool SaveSettings(SettingsStore &store, const Settings &settings);

} // namespace CellOverlay
