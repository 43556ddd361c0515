#include "link/ConnectionStates.h"

#include "link/LinkSession.h"

ConnectionView ConnectionViewOf(int connectionState, bool realTime)
{
    using namespace ConnectionState;
    const char *status = nullptr;
    switch (connectionState) {
    case Connecting: status = "Connecting..."; break;
    case Idle: status = "Idle"; break;
    case Reading: status = "Reading from Vantrelle..."; break;
    case Writing: status = "Writing to Vantrelle..."; break;
    default: break;
    }
    if (!status) {
        // Not connected, neither real-time panel means anything.
        return {"Not Connected", "C&onnect To Vantrelle...", "Connect To Vantrelle...", false,
                "Enable real-time mode", false, false, false};
    }
    return {status,
            "&Disconnect from Vantrelle",
            "Disconnect from Vantrelle",
            true,
            realTime ? "Disable real-time mode" : "Enable real-time mode",
            realTime,
            !realTime,
            realTime};
}
