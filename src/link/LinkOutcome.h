#pragma once

#include "platform/MessageBoxService.h"

#include <QString>

// How an exchange with the box ended. Every failure carries the message the
// user is shown and its icon; the windows and the command-line tool only
// present it.
enum class LinkResult {
    Success,
    Cancelled,       // the user cancelled; nothing to show
    OpenFailed,      // the port could not be opened
    SendFailed,      // the port refused a request
    ChecksumError,   // a read reply failed its checksum
    NotAcknowledged, // a write was answered with something other than "O"
    DataTimeout,     // no complete read reply within the idle limit
    ResponseTimeout, // no acknowledgement within the idle limit
    NoAnswer,        // the handshake heard nothing by its last poll
    BadVersion,      // the handshake's answer was refused or malformed
    FileError,       // the image file could not be used
    NotWritable,     // a real-time write the box has no place for
    PortLost,        // the port died under the exchange (device gone, I/O error)
};

struct LinkOutcome
{
    LinkResult result = LinkResult::Success;
    QString message; // empty when there is nothing to tell
    MsgIcon icon = MsgIcon::None;

    bool ok() const { return result == LinkResult::Success; }

    static LinkOutcome success() { return {}; }
    static LinkOutcome cancelled() { return {LinkResult::Cancelled, {}, MsgIcon::None}; }
    static LinkOutcome failure(LinkResult r, const QString &text, MsgIcon icon) { return {r, text, icon}; }
};
