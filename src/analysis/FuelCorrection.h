#pragma once

#include "model/MapCatalogue.h"

#include <optional>
#include <QDateTime>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

struct DataLog;
class SettingsStore;
class Tune;

// The fuel correction from a log: for each open-loop cell of a fuel map, the
// enrichment that would have brought the measured air-fuel ratio to the
// target.
//
// The injector pulse is base x (1 + e / 100), and fuel delivered is
// proportional to it, so with the measured ratio M at enrichment e and the
// target T, the enrichment that delivers the target is
//     e' = (1 + e / 100) x M / T x 100 - 100,
// rounded to the nearest integer (ties to even) and kept within the open-loop
// range 0..127 so the cell stays open loop. e is the cell's value in the tune
// now, so a log should be taken after the last edit of the cells it corrects.
//
// One pass changes the fuel a cell delivers by at most the cap (measured /
// target is held within 1 -/+ cap / 100), so a wrong column or formula can
// never swing a cell far on a running engine.
//
// Left out: closed-loop cells (raw 128 and above: the engine computer trims
// them from the oxygen sensor itself), cells with fewer than the minimum
// number of samples, and samples
// - without RPM, load or a measured ratio,
// - taken during a transient (the load changed by more than the limit since
//   the sample before, or will by the next),
// - at closed throttle or while decelerating (load below its limit, or
//   fallen by more than the falling limit since the sample before),
// - during warm-up (the coolant column, when the log has one, below its limit),
// - with a ratio outside the plausible range (a voltage read as a ratio),
//   or within SettlingSeconds after one (the sensor back from a fuel cut),
// - already spent: logged before a correction of their cell was applied.
namespace FuelCorrection {

inline constexpr int OpenLoopLow = 0;
inline constexpr int OpenLoopHigh = 127;

// The rule as shown to the user.
QString RuleText();

// e' for one cell; clamped to [low, high].
int CorrectedEnrichment(int e, double measured, double target, int low = OpenLoopLow, int high = OpenLoopHigh);

// The target ratio per fuel cell (RPM index x 16 + TP index), kept in the
// preferences.
struct TargetTable
{
    std::array<double, 256> afr{};
    // Stoichiometric (14.7) at light load, richer towards full load (12.5 at
    // the last TP column): a safe start the user edits.
    static TargetTable Defaults();
    double at(int rpmIndex, int tpIndex) const { return afr[static_cast<std::size_t>(rpmIndex * 16 + tpIndex)]; }
};

// The accepted cap on the change per pass, in percent.
inline constexpr double MaxChangeLow = 1.0;
inline constexpr double MaxChangeHigh = 50.0;

// How long the sensor takes to come back from an end of its range.
inline constexpr double SettlingSeconds = 1.0;

// The longest transport delay accepted, ms.
inline constexpr double MaxDelayMs = 5000.0;

// The accepted target ratios.
inline constexpr double TargetLow = 6.0;
inline constexpr double TargetHigh = 25.0;

struct Settings
{
    QString afrColumn;        // the log column that measures the ratio; empty: not chosen yet
    QString afrFormula;       // applied to that column's values (V); empty: as logged
    int minSamples = 10;      // per cell
    double transientTp = 8.0; // largest TP change between neighbouring samples still steady
    double maxChangePercent = 15.0; // most the fuel of a cell may change in one pass
    double closedThrottleTp = 10.0; // TP below this: closed throttle
    double fallingTp = 1.0;         // TP fallen by more than this since the sample before: deceleration
    QString coolantColumn = QStringLiteral("Coolant"); // used when the log has it
    double minCoolant = 70.0;       // coolant below this: warm-up
    // The wideband's range: a reading at either end is the sensor saturated
    // or still heating (0 V), never a ratio.
    double afrLow = 10.0;
    double afrHigh = 20.0;
    // The time from the fuel burned to its reading at the sensor, in ms;
    // below 0: estimated from the log.
    double delayMs = 0.0;
    // Cells the tuner has locked: never proposed, whatever the log says.
    std::array<bool, 256> locked{};
    MapKey map = MapKey::HOFM;
    TargetTable targets = TargetTable::Defaults();
};

// Section "FuelCorrection" of the preferences store: AFRColumn, AFRFormula,
// MinSamples, TransientTP, MaxChange, ClosedThrottleTP, FallingTP,
// CoolantColumn, MinCoolant, AFRLow, AFRHigh, Delay (ms, or "auto"), Map
// (catalogue key) and Target0..Target15 (one RPM row each, sixteen numbers
// separated by ",").
// Missing or unreadable values keep their defaults.
Settings LoadSettings(const SettingsStore &store);
bool SaveSettings(SettingsStore &store, const Settings &settings);

// A number within [low, high] as the settings and the command line take
// it; nothing otherwise.
std::optional<double> NumberWithin(const QString &text, double low, double high);
// A delay as they take it: "auto" (estimated from the log, -1) or ms
// within 0..MaxDelayMs.
std::optional<double> DelayFromText(const QString &text);

// Which samples are steady: false for a sample whose TP differs by more than
// limit from the sample before or after it, and for samples without a TP.
std::vector<bool> SteadyMask(const std::vector<float> &tp, double limit);

// The cells a correction was applied to, per log: the samples a cell had
// when it was corrected are spent, so the same samples never correct it
// twice (they were logged with the old value). A log is known by its first
// sample's date (a saved copy of the running log is the same log), or by
// its path when it has none. The history keeps them across runs: it loads
// them at the start and hears of every correction applied.
class AppliedCells
{
public:
    // The cells one correction changed, from one log.
    struct Applied
    {
        QString logKey;
        QString logPath;
        MapKey map = MapKey::HOFM;
        std::vector<int> entries;
        std::size_t rows = 0;
    };
    using Listener = std::function<void(const Applied &)>;
    void setListener(Listener listener) { m_listener = std::move(listener); }

    // One cell, as the history remembers it.
    void mark(const QString &logKey, MapKey map, int entry, std::size_t rows, const QDateTime &at);
    // A correction just applied: its cells are marked, and the listener told.
    void markApplied(const Applied &applied);
    // Rows of the log spent for the cell (0: none).
    std::size_t spentRows(const QString &logKey, MapKey map, int entry) const;
    // How many cells of the map were corrected from the log, and when last.
    std::pair<int, QDateTime> corrected(const QString &logKey, MapKey map) const;

private:
    struct Spent
    {
        std::size_t rows = 0;
        QDateTime at;
    };
    std::map<std::tuple<QString, int, int>, Spent> m_spent;
    Listener m_listener;
};

QString LogKey(const DataLog &log, const QString &path);

// Applied: the cell was corrected from this log and has too few samples
// logged since. Locked: the tuner keeps the cell as it is.
enum class CellStatus { NoSamples, TooFewSamples, ClosedLoop, Proposed, Applied, Locked };

struct CellProposal
{
    CellStatus status = CellStatus::NoSamples;
    int samples = 0;           // samples with a ratio near the cell that passed the filters
    double weight = 0;         // their weights for the cell (a sample between cells shares itself)
    int leftOut = 0;           // samples in the cell the filters left out
    int spent = 0;             // samples in the cell used by a correction already applied
    double measured = 0;       // average ratio of the samples that passed
    double target = 0;
    int currentRaw = 0;
    int proposedRaw = 0;       // = currentRaw unless Proposed
    bool clamped = false;      // the exact result lay outside 0..127
    bool capped = false;       // held to the cap on the change per pass
    bool changes() const { return status == CellStatus::Proposed && proposedRaw != currentRaw; }
};

struct Proposal
{
    MapKey map = MapKey::HOFM;
    std::array<CellProposal, 256> cells{};
    std::size_t used = 0;        // samples that counted
    std::size_t risingTransients = 0;  // left out with the throttle rising fast (acceleration enrichment)
    std::size_t fallingTransients = 0; // and falling fast (overrun)
    std::size_t decelerating = 0; // left out at closed throttle or decelerating
    std::size_t warmingUp = 0;   // left out below the coolant limit
    std::size_t implausible = 0; // left out for a ratio outside the plausible range
    std::size_t settling = 0;    // and in the SettlingSeconds after one: the sensor coming back
    std::size_t spent = 0;       // left out as used by a correction already applied
    std::size_t unusable = 0;    // left out for a missing RPM, TP or ratio
    std::size_t beforeDelay = 0; // the first rows, which no engine state the delay before explains
    double delayMs = 0;          // the delay used
    bool delayEstimated = false; // and whether the log gave it
    bool coolantFound = false;   // the log has the coolant column
    QString logKey;              // the log the proposal was computed from
    std::size_t rows = 0;        // and how many rows it had
    QString error;               // why nothing could be computed (empty when fine)
};

// The measured ratio of each row: the AFR column through the formula (the
// formula of a DAQ input, V the logged value; a failing formula gives 0,
// which is not a usable ratio).
std::vector<float> MeasuredRatios(const DataLog &log, int afrColumn, const QString &formula);

// Samples left out at closed throttle or decelerating (a sample without a
// TP counts as neither).
std::vector<bool> DeceleratingMask(const std::vector<float> &tp, double closedBelow, double fallingBy);

// The factor measured / target as one pass may apply it: within
// 1 -/+ capPercent / 100. capped tells whether it was held.
double CappedRatio(double measured, double target, double capPercent, bool *capped = nullptr);

// Only the rows [firstRow, endRow) are measured (the window between the
// viewer's cursors); the engine's row a delay earlier may lie before it.
// The proposal's rows, which an applied correction marks as spent, end with
// the window.
Proposal Compute(const DataLog &log, const Tune &tune, const Settings &settings, const AppliedCells *applied = nullptr,
                 const QString &logKey = QString(), std::size_t firstRow = 0,
                 std::size_t endRow = static_cast<std::size_t>(-1));

// What a proposal used and left out, and how many cells it would change.
QString Summary(const Proposal &proposal, const Settings &settings);

} // namespace FuelCorrection
