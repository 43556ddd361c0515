#pragma once

#include "model/MapCatalogue.h"

#include <vector>

class CVMapInfo;
class EditSession;

// Writes chosen cells of a fuel correction into the tune as one edit.
//
// This is the one place the correction touches the tune: the changed cells
// are committed through the edit session as one step with the step's name,
// so the undo history records the whole correction at once; in real-time mode
// they go to the box as the grid's block edits do, one frame per run of
// adjacent cells.
namespace ApplyCorrection {

struct CellChange
{
    int entry = 0;  // RPM index x 16 + TP index
    int newRaw = 0; // 0..127
    // The value the proposal was computed from; -1: whatever the cell holds.
    int fromRaw = -1;
};

// Returns the number of cells that changed. Entries outside the map, raw
// values outside the open-loop range and closed-loop cells are skipped
// (the proposal never offers them; a stale one must not overwrite them), and
// so is a cell that no longer holds its fromRaw: the tuner changed it after
// the proposal was computed, and the proposal knows nothing of that value.
int Apply(EditSession &edits, MapKey map, const std::vector<CellChange> &changes);

// Whether the cell still holds the value the change was computed from.
bool IsCurrent(const CVMapInfo &body, const CellChange &change);

} // namespace ApplyCorrection
