#include "commands/CommandEnabling.h"

namespace {

// The connection states, as the link numbers them.
constexpr int NotConnected = 0;
constexpr int Connecting = 1;

} // namespace

EnabledCommands EnabledCommandsFor(const CommandStates &s)
{
    EnabledCommands on;
    const bool connected = s.connectionState != NotConnected;
    const bool answered = connected && s.connectionState != Connecting;
    const bool transfers = connected && !s.realTime;
    on[Command::Read] = transfers;
    on[Command::Write] = transfers;
    on[Command::WriteChanges] = transfers;
    on[Command::CompareWithBox] = transfers;
    on[Command::RealTime] = connected;
    for (Command c : {Command::LoadBinToRom, Command::SaveRomToBin, Command::LoadStockProgram})
        on[c] = answered && !s.realTime;
    on[Command::StagedRevLimiter] = !s.realTime;
    on[Command::MapCopy] = !s.realTime;
    on[Command::SaveDatalog] = !s.realTime && s.datalogSaveOffered;
    on[Command::Undo] = s.canUndo;
    on[Command::Redo] = s.canRedo;
    on[Command::EndComparison] = s.comparing;
    on[Command::TakeComparedCells] = s.comparing;
    on[Command::CellMenu] = s.mapShown;
    const bool cell = s.mapShown && s.cell != CellKind::None;
    on[Command::CellStep] = cell;
    on[Command::CellEdit] = cell && !s.realTime;
    on[Command::CellLoop] = s.mapShown && s.cell == CellKind::Body;
    on[Command::Playback] = s.logOpen;
    return on;
}

LiveSourceChange Starting(LiveSource source, const CommandStates &s)
{
    LiveSourceChange change;
    if (source == LiveSource::Playback && s.realTime) {
        change.endRealTime = true;
        change.note = "Real-time mode ended: the views now play back the log.";
    } else if (source == LiveSource::RealTime && s.playback) {
        change.endPlayback = true;
        change.note = "Playback ended: the views now show the engine.";
    }
    return change;
}
