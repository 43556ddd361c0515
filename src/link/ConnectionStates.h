#pragma once

#include <span>

// The connection states of the link to the box, kept in the ConnectionState
// preference so that every window can read it. Any state other than
// NotConnected counts as connected.
namespace ConnectionState {
enum : int { NotConnected = 0, Connecting = 1, Idle = 2, Reading = 3, Writing = 4 };
} // namespace ConnectionState

// The main-window controls a connection state drives. The transfer commands
// and the image commands are groups: every member of a group changes alike.
enum class ConnectionControl {
    Status,                // status-bar panel "Status"
    ConnectItem,           // menu item mnuOptionsConnect
    ConnectButton,         // toolbar button "Connect"
    RealTimeButton,        // toolbar button "RealTime"
    TransferCommands,      // buttons "Read", "Write", "RealTime"; mnuOptionsRead, mnuOptionsWrite, mnuOptionsRealTime
    ImageCommands,         // mnuFileOpenBin, mnuFileSaveBin, mnuLoad
    RealTimeDisabledPanel, // status-bar panel "VntRTDisabled"
    RealTimeEnabledPanel,  // status-bar panel "VntRTEnabled"
};

enum class ControlProperty { Text, ToolTip, Pressed, Enabled, Visible };

// One change a state makes: a text (Text, ToolTip) or a switch (Pressed,
// Enabled, Visible). What a state does not change keeps what the last state,
// or a command, left there.
struct ConnectionChange
{
    ConnectionControl control;
    ControlProperty property;
    const char *text = nullptr;
    bool on = false;
};

struct ConnectionStateRow
{
    int state;
    std::span<const ConnectionChange> changes;
    // After the changes, real-time mode (when on) is switched off exactly as
    // by its command.
    bool endsRealTime;
};

// The row of a state; nullptr for a value that is no state (the value is
// still stored, and nothing else changes).
const ConnectionStateRow *ConnectionStateRowOf(int state);
