#pragma once

#include "model/MapCatalogue.h"

#include <QString>
#include <array>
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
// Left out: closed-loop cells (raw 128 and above: the engine computer trims
// them from the oxygen sensor itself), cells with fewer than the minimum
// number of samples, samples taken during a transient (the load changed by
// more than the limit since the sample before, or will by the next), samples
// without RPM, load or a positive measured ratio.
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

// The accepted target ratios.
inline constexpr double TargetLow = 6.0;
inline constexpr double TargetHigh = 25.0;

struct Settings
{
    QString afrColumn;        // the log column that measures the ratio
    QString afrFormula;       // applied to that column's values (V); empty: as logged
    int minSamples = 10;      // per cell
    double transientTp = 8.0; // largest TP change between neighbouring samples still steady
    MapKey map = MapKey::HOFM;
    TargetTable targets = TargetTable::Defaults();
};

// Section "FuelCorrection" of the preferences store: AFRColumn, AFRFormula,
// MinSamples, TransientTP, Map (catalogue key) and Target0..Target15 (one RPM
// row each, sixteen numbers separated by ","). Missing or unreadable values
// keep their defaults.
Settings LoadSettings(const SettingsStore &store);
bool SaveSettings(SettingsStore &store, const Settings &settings);

// Which samples are steady: false for a sample whose TP differs by more than
// limit from the sample before or after it, and for samples without a TP.
std::vector<bool> SteadyMask(const std::vector<float> &tp, double limit);

enum class CellStatus { NoSamples, TooFewSamples, ClosedLoop, Proposed };

struct CellProposal
{
    CellStatus status = CellStatus::NoSamples;
    int samples = 0;           // steady samples with a ratio in the cell
    double measured = 0;       // their average ratio
    double target = 0;
    int currentRaw = 0;
    int proposedRaw = 0;       // = currentRaw unless Proposed
    bool clamped = false;      // the exact result lay outside 0..127
    bool changes() const { return status == CellStatus::Proposed && proposedRaw != currentRaw; }
};

struct Proposal
{
    MapKey map = MapKey::HOFM;
    std::array<CellProposal, 256> cells{};
    std::size_t used = 0;       // samples that counted
    std::size_t transients = 0; // left out as transients
    std::size_t unusable = 0;   // left out for a missing RPM, TP or ratio
    QString error;              // why nothing could be computed (empty when fine)
};

// The measured ratio of each row: the AFR column through the formula (the
// formula of a DAQ input, V the logged value; a failing formula gives 0,
// which is not a usable ratio).
std::vector<float> MeasuredRatios(const DataLog &log, int afrColumn, const QString &formula);

Proposal Compute(const DataLog &log, const Tune &tune, const Settings &settings);

} // namespace FuelCorrection
