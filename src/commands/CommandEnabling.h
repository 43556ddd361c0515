#pragma once

#include <array>
#include <cstdint>

// The commands whose availability changes while the program runs. Each is
// one or more menu items or toolbar buttons; the features that own them
// register them under these names.
enum class Command : std::uint8_t {
    Read,             // read from the box (menu item and toolbar button)
    Write,            // write the whole tune
    WriteChanges,     // write the changed items only
    RealTime,         // the real-time mode switch
    CompareWithBox,   // compare with what the box holds
    LoadBinToRom,     // whole images between files and the box
    SaveRomToBin,
    LoadStockProgram,
    StagedRevLimiter, // settings the engine must not see change under it
    MapCopy,
    SaveDatalog,
    Undo,
    Redo,
    EndComparison,
    TakeComparedCells,
    CellMenu,         // the "&Cell" menu while a map is on screen
    CellStep,         // increment and decrement of the current cell
    CellEdit,         // the in-place editor
    CellLoop,         // open/closed-loop switch of a body cell
    Playback,         // the datalog viewer's playback switch and play button
};
inline constexpr int CommandCount = static_cast<int>(Command::Playback) + 1;

// Where the current cell of the map grid lies.
enum class CellKind : std::uint8_t { None, Axis, Body };

// Everything command availability depends on, each read from its owner.
struct CommandStates
{
    int connectionState = 0;        // ConnectionState (0 = not connected)
    bool realTime = false;
    bool canUndo = false;
    bool canRedo = false;
    bool comparing = false;
    // Save Current Datalog is offered once real-time mode has ended and until
    // the log is saved (and at start-up, for a log left behind).
    bool datalogSaveOffered = true;
    bool mapShown = false;          // a map panel is on screen
    CellKind cell = CellKind::None; // the grid's current cell
    bool logOpen = false;           // the datalog viewer holds a log
    bool playback = false;          // a log drives the live views
};

class EnabledCommands
{
public:
    bool operator[](Command c) const { return m_on[static_cast<std::size_t>(c)]; }
    bool &operator[](Command c) { return m_on[static_cast<std::size_t>(c)]; }

private:
    std::array<bool, CommandCount> m_on{};
};

// Which commands are available: the one rule, applied in one place.
//
// - Read, Write, Write Changes and Compare with the box need a connection and
//   real-time mode off; the real-time switch needs a connection.
// - The whole-image commands need a box that answered the handshake, and
//   real-time mode off.
// - The staged rev limiter's settings and the map copy wait for real-time
//   mode to end; so does Save Current Datalog, until it is used.
// - Undo, Redo and the comparison's commands follow their history and
//   comparison; the cell menu follows the map grid.
// - Playback needs a log in the viewer, nothing else: starting it ends
//   real-time mode (LiveSourceChange).
EnabledCommands EnabledCommandsFor(const CommandStates &states);

// The live views have one source at a time: the engine (real-time mode) or
// a log played back. Starting one ends the other, and the status bar says
// so in note (empty when nothing had to end).
enum class LiveSource : std::uint8_t { RealTime, Playback };
struct LiveSourceChange
{
    bool endRealTime = false;
    bool endPlayback = false;
    const char *note = "";
};
LiveSourceChange Starting(LiveSource source, const CommandStates &states);
