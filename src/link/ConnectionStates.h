#pragma once

// How the main window shows the link's state: the "Status" panel, the
// connect command's caption and tooltip, the toolbar's Connect and RealTime
// buttons and the two real-time status panels. A pure function of the
// connection state and real-time mode, applied whenever either changes.
struct ConnectionView
{
    const char *status;            // status-bar panel "Status"
    const char *connectCaption;    // menu item mnuOptionsConnect
    const char *connectToolTip;    // toolbar button "Connect"
    bool connectPressed;
    const char *realTimeToolTip;   // toolbar button "RealTime"
    bool realTimePressed;
    bool realTimeDisabledVisible;  // status-bar panel "VntRTDisabled"
    bool realTimeEnabledVisible;   // status-bar panel "VntRTEnabled"
};

// A state value that is no state shows as not connected.
ConnectionView ConnectionViewOf(int connectionState, bool realTime);
