// What the main window shows after a run of connection states: each state
// changes only its own part, and what it leaves alone stays as the states
// before it (or a command) left it.

#include "link/ConnectionStates.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

using C = ConnectionControl;
using P = ControlProperty;
using Shown = std::map<std::pair<C, P>, std::string>;

// The controls as a window would show them after the states, in order, with
// "on"/"off" for the switches; also whether the last of them ends real-time
// mode.
Shown apply(const std::vector<int> &states, bool *endedRealTime = nullptr)
{
    Shown shown;
    for (int state : states) {
        const ConnectionStateRow *row = ConnectionStateRowOf(state);
        if (!row)
            continue;
        EXPECT_EQ(row->state, state);
        for (const ConnectionChange &c : row->changes) {
            const bool isText = c.property == P::Text || c.property == P::ToolTip;
            EXPECT_EQ(isText, c.text != nullptr) << "state " << state;
            shown[{c.control, c.property}] = isText ? std::string(c.text) : (c.on ? "on" : "off");
        }
        if (endedRealTime)
            *endedRealTime = row->endsRealTime;
    }
    return shown;
}

Shown with(Shown base, std::initializer_list<std::pair<const std::pair<C, P>, std::string>> changes)
{
    for (const auto &change : changes)
        base[change.first] = change.second;
    return base;
}

const Shown disconnected = {
    {{C::Status, P::Text}, "Not Connected"},
    {{C::ConnectItem, P::Text}, "C&onnect To Vantrelle..."},
    {{C::ConnectButton, P::ToolTip}, "Connect To Vantrelle..."},
    {{C::ConnectButton, P::Pressed}, "off"},
    {{C::RealTimeButton, P::ToolTip}, "Enable real-time mode"},
    {{C::RealTimeButton, P::Pressed}, "off"},
    {{C::TransferCommands, P::Enabled}, "off"},
    {{C::ImageCommands, P::Enabled}, "off"},
    {{C::RealTimeDisabledPanel, P::Visible}, "off"},
    {{C::RealTimeEnabledPanel, P::Visible}, "off"},
};

// The image commands are the connect command's to enable, after the handshake.
const Shown connecting = with(disconnected, {
    {{C::Status, P::Text}, "Connecting..."},
    {{C::ConnectItem, P::Text}, "&Disconnect from Vantrelle"},
    {{C::ConnectButton, P::ToolTip}, "Disconnect from Vantrelle"},
    {{C::ConnectButton, P::Pressed}, "on"},
    {{C::TransferCommands, P::Enabled}, "on"},
    {{C::RealTimeDisabledPanel, P::Visible}, "on"},
});

const Shown idle = with(connecting, {{{C::Status, P::Text}, "Idle"}});

} // namespace

TEST(ConnectionStatesTest, EachStateChangesItsOwnPartOnly)
{
    using namespace ConnectionState;
    const struct
    {
        const char *name;
        std::vector<int> states;
        Shown expected;
        bool endsRealTime;
    } cases[] = {
        {"start-up", {NotConnected}, disconnected, true},
        {"connecting", {NotConnected, Connecting}, connecting, false},
        {"handshake done", {NotConnected, Connecting, Idle}, idle, false},
        {"reading", {NotConnected, Connecting, Idle, Reading},
         with(idle, {{{C::Status, P::Text}, "Reading from Vantrelle..."}}), false},
        {"writing", {NotConnected, Connecting, Idle, Writing},
         with(idle, {{{C::Status, P::Text}, "Writing to Vantrelle..."}}), false},
        {"back to idle", {NotConnected, Connecting, Idle, Reading, Idle, Writing, Idle}, idle, false},
        {"disconnected while writing", {NotConnected, Connecting, Idle, Writing, NotConnected}, disconnected, true},
        {"handshake failed", {NotConnected, Connecting, NotConnected}, disconnected, true},
        // Only the Connect button shows a transfer; a state on its own
        // leaves the rest to whoever set it.
        {"reading alone", {Reading},
         {{{C::ConnectButton, P::Pressed}, "on"}, {{C::Status, P::Text}, "Reading from Vantrelle..."}}, false},
        {"no such state", {NotConnected, Connecting, -1, 5, 99}, connecting, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        bool ended = false;
        EXPECT_EQ(apply(c.states, &ended), c.expected);
        EXPECT_EQ(ended, c.endsRealTime);
    }
}
