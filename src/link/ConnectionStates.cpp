#include "link/ConnectionStates.h"

#include <array>

namespace {

using C = ConnectionControl;

constexpr ConnectionChange text(C control, const char *value)
{
    return {control, ControlProperty::Text, value, false};
}
constexpr ConnectionChange tip(C control, const char *value)
{
    return {control, ControlProperty::ToolTip, value, false};
}
constexpr ConnectionChange pressed(C control, bool on)
{
    return {control, ControlProperty::Pressed, nullptr, on};
}
constexpr ConnectionChange enabled(C control, bool on)
{
    return {control, ControlProperty::Enabled, nullptr, on};
}
constexpr ConnectionChange visible(C control, bool on)
{
    return {control, ControlProperty::Visible, nullptr, on};
}

constexpr ConnectionChange notConnected[] = {
    text(C::Status, "Not Connected"),
    text(C::ConnectItem, "C&onnect To Vantrelle..."),
    tip(C::ConnectButton, "Connect To Vantrelle..."),
    pressed(C::ConnectButton, false),
    tip(C::RealTimeButton, "Enable real-time mode"),
    pressed(C::RealTimeButton, false),
    enabled(C::TransferCommands, false),
    enabled(C::ImageCommands, false),
    // Not connected, neither real-time panel means anything.
    visible(C::RealTimeDisabledPanel, false),
    visible(C::RealTimeEnabledPanel, false),
};

// The image commands wait for the handshake: the connect command enables
// them once the box has answered.
constexpr ConnectionChange connecting[] = {
    tip(C::ConnectButton, "Disconnect from Vantrelle"),
    pressed(C::ConnectButton, true),
    tip(C::RealTimeButton, "Enable real-time mode"),
    text(C::Status, "Connecting..."),
    text(C::ConnectItem, "&Disconnect from Vantrelle"),
    enabled(C::TransferCommands, true),
    // Once a connection starts the mode shows as disabled until it is
    // switched on.
    visible(C::RealTimeDisabledPanel, true),
    visible(C::RealTimeEnabledPanel, false),
};

constexpr ConnectionChange idle[] = {
    text(C::Status, "Idle"),
};

constexpr ConnectionChange reading[] = {
    pressed(C::ConnectButton, true),
    text(C::Status, "Reading from Vantrelle..."),
};

constexpr ConnectionChange writing[] = {
    pressed(C::ConnectButton, true),
    text(C::Status, "Writing to Vantrelle..."),
};

constexpr std::array<ConnectionStateRow, 5> rows{{
    {ConnectionState::NotConnected, notConnected, true},
    {ConnectionState::Connecting, connecting, false},
    {ConnectionState::Idle, idle, false},
    {ConnectionState::Reading, reading, false},
    {ConnectionState::Writing, writing, false},
}};

} // namespace

const ConnectionStateRow *ConnectionStateRowOf(int state)
{
    for (const ConnectionStateRow &row : rows)
        if (row.state == state)
            return &row;
    return nullptr;
}
