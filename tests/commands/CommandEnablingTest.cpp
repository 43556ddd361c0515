// Which commands are available in every state the program can be in: one
// row per state, every command checked.

#include "commands/CommandEnabling.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using C = Command;

// The commands a row expects on; every other command must be off.
struct Row
{
    const char *what;
    CommandStates states;
    std::vector<Command> on;
};

CommandStates states(int connection, bool realTime)
{
    CommandStates s;
    s.connectionState = connection;
    s.realTime = realTime;
    s.datalogSaveOffered = false;
    return s;
}

CommandStates with(CommandStates s, void (*change)(CommandStates &))
{
    change(s);
    return s;
}

} // namespace

TEST(CommandEnabling, EveryCommandInEveryState)
{
    const std::vector<Command> transfers = {C::Read, C::Write, C::WriteChanges, C::CompareWithBox, C::RealTime};
    const std::vector<Command> images = {C::LoadBinToRom, C::SaveRomToBin, C::LoadStockProgram};
    const std::vector<Command> offline = {C::StagedRevLimiter, C::MapCopy};
    const auto all = [](std::initializer_list<std::vector<Command>> lists) {
        std::vector<Command> out;
        for (const auto &l : lists)
            out.insert(out.end(), l.begin(), l.end());
        return out;
    };
    const std::vector<Row> rows = {
        {"not connected", states(0, false), offline},
        {"connecting: the transfers, not yet the images", states(1, false), all({transfers, offline})},
        {"idle", states(2, false), all({transfers, images, offline})},
        {"reading", states(3, false), all({transfers, images, offline})},
        {"writing", states(4, false), all({transfers, images, offline})},
        {"real-time mode: only its own switch", states(2, true), {C::RealTime}},
        {"a value that is no state counts as connected", states(7, false), all({transfers, images, offline})},
        {"the datalog's save once the mode ended",
         with(states(2, false), [](CommandStates &s) { s.datalogSaveOffered = true; }),
         all({transfers, images, offline, {C::SaveDatalog}})},
        {"no save while the mode runs", with(states(2, true), [](CommandStates &s) { s.datalogSaveOffered = true; }),
         {C::RealTime}},
        {"undo and redo follow the history",
         with(states(0, false), [](CommandStates &s) { s.canUndo = s.canRedo = true; }),
         all({offline, {C::Undo, C::Redo}})},
        {"a comparison", with(states(0, false), [](CommandStates &s) { s.comparing = true; }),
         all({offline, {C::EndComparison, C::TakeComparedCells}})},
        {"a map without a cell", with(states(0, false), [](CommandStates &s) { s.mapShown = true; }),
         all({offline, {C::CellMenu}})},
        {"an axis cell: no loop switch",
         with(states(0, false), [](CommandStates &s) { s.mapShown = true, s.cell = CellKind::Axis; }),
         all({offline, {C::CellMenu, C::CellStep, C::CellEdit}})},
        {"a body cell", with(states(0, false), [](CommandStates &s) { s.mapShown = true, s.cell = CellKind::Body; }),
         all({offline, {C::CellMenu, C::CellStep, C::CellEdit, C::CellLoop}})},
        {"a body cell in real-time mode: stepped, not typed",
         with(states(2, true), [](CommandStates &s) { s.mapShown = true, s.cell = CellKind::Body; }),
         {C::RealTime, C::CellMenu, C::CellStep, C::CellLoop}},
        {"a cell the grid kept while another panel is on show",
         with(states(0, false), [](CommandStates &s) { s.cell = CellKind::Body; }), offline},
        {"a log in the viewer: its playback, real-time mode or not",
         with(states(2, true), [](CommandStates &s) { s.logOpen = true; }), {C::RealTime, C::Playback}},
    };
    for (const Row &row : rows) {
        const EnabledCommands on = EnabledCommandsFor(row.states);
        for (int c = 0; c < CommandCount; ++c) {
            const Command command = static_cast<Command>(c);
            const bool expected = std::find(row.on.begin(), row.on.end(), command) != row.on.end();
            EXPECT_EQ(on[command], expected) << row.what << ": command " << c;
        }
    }
}

// One source of live figures at a time: whichever starts ends the other.
TEST(CommandEnabling, PlaybackAndRealTimeEndEachOther)
{
    struct Case
    {
        const char *what;
        LiveSource starting;
        bool realTime, playback;
        bool endRealTime, endPlayback;
    };
    const std::vector<Case> cases = {
        {"playback over real-time mode", LiveSource::Playback, true, false, true, false},
        {"real-time mode over playback", LiveSource::RealTime, false, true, false, true},
        {"playback alone", LiveSource::Playback, false, false, false, false},
        {"real-time mode alone", LiveSource::RealTime, false, false, false, false},
        {"playback again while it runs", LiveSource::Playback, false, true, false, false},
    };
    for (const Case &c : cases) {
        CommandStates s;
        s.realTime = c.realTime;
        s.playback = c.playback;
        const LiveSourceChange change = Starting(c.starting, s);
        EXPECT_EQ(std::pair(change.endRealTime, change.endPlayback), std::pair(c.endRealTime, c.endPlayback))
            << c.what;
        // Whatever ends is named in the status bar.
        EXPECT_EQ(std::string(change.note).empty(), !c.endRealTime && !c.endPlayback) << c.what;
    }
}
