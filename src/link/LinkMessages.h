#pragma once

#include <QString>

// The texts the link shows the user, word for word (double blanks and all:
// users and support notes quote them).
namespace LinkMessages {

inline QString SendFailure(const QString &portError)
{
    return QStringLiteral("Failure on COM port.  Could not send request.  Specifically: ") + portError;
}
inline const char *const ChecksumError =
    "The data was not properly received.  Checksum error.  Please retry the operation";
inline const char *const NotAcknowledged =
    "The data was not properly written.  Received checksum error.  Please retry the operation";
inline const char *const DataTimeout =
    "Timed out in receiving data from the hardware.  Please retry the operation.";
inline const char *const ResponseTimeout =
    "Timed out in receiving response from the hardware.  Please retry the operation.";
inline const char *const NoAnswer =
    "Could not communicate wuth the Vantrelle hardware.  Please check your COM port settings and try again.";
inline const char *const BadVersion = "Received Version response with bad checksum.";

// The port died while connected; description names the device and what
// happened to it.
inline QString PortLost(const QString &description)
{
    return QStringLiteral("The connection to the Vantrelle was lost: ") + description
           + QStringLiteral(".  Check the cable and the box, then connect again.");
}

inline const char *const CancelQuestion = "Are you sure you want to cancel this operation?";
inline const char *const ConnectingLabel = "Connecting to Vantrelle hardware.  Please Wait...";
inline const char *const ReadingLabel = "Reading from Vantrelle hardware.  Please wait...";
inline const char *const WritingLabel = "Writing to Vantrelle hardware.  Please wait...";
inline const char *const RealTimeLabel = "Writing to Vantrelle... please wait";
inline const char *const TransferWarning =
    "Warning:  Interrupting this operation may leave the Vantrelle in an unstable state!  Do so only "
    "if the application hangs.  NOTE: It may take several seconds to complete this operation";

} // namespace LinkMessages
