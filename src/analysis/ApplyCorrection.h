#pragma once

#include "model/MapCatalogue.h"

#include <vector>

class RealTimeSender;
struct ProgramState;

// Writes chosen cells of a fuel correction into the tune as one edit.
//
// This is the one place the correction touches the tune: every cell is
// written, then the edit is noted once (ProgramState::NoteEdit with the
// step's name), so the undo history records the whole correction as one
// step; in real-time mode each changed cell goes to the box as the grid's own
// edits do.
namespace ApplyCorrection {

struct CellChange
{
    int entry = 0;  // RPM index x 16 + TP index
    int newRaw = 0; // 0..127
};

// Returns the number of cells that changed. Entries outside the map, raw
// values outside the open-loop range and closed-loop cells are skipped
// (the proposal never offers them; a stale one must not overwrite them).
int Apply(ProgramState &state, RealTimeSender *sender, MapKey map, const std::vector<CellChange> &changes);

} // namespace ApplyCorrection
