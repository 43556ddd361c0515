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
};
inline constexpr int CommandCount = static_cast<int>(Command::CellLoop) + 1;

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
EnabledCommands EnabledCommandsFor(const CommandStates &states);
