#pragma once

#include "shell/prefs/CVUserPrefs.h"

#include <QString>
#include <QStringList>

// The checks of the DAQ setup panel that need no widgets.
namespace DAQSetupRules {

// "1 (+/- 20v)" ... "20 (+/- 1 v)": the gain codes 0..7 as the panel lists them.
QStringList GainItems();
// "Single", "Differential", "Digital".
QStringList TypeItems();
// The channel names of a type, in channel order: AI0..AI7, AI0-AI1..AI6-AI7,
// D0..D15 then IO0..IO3.
QStringList ChannelItems(qint32 inputType);

// Whether two channels share a terminal: same type and number; or a
// differential pair n against single-ended channels 2n and 2n + 1. Digital
// and analog channels never conflict.
bool ChannelsConflict(qint32 typeA, qint32 channelA, qint32 typeB, qint32 channelB);

// The name of the first input of inputs, other than the one named oldName,
// whose channel conflicts with (inputType, channel); empty when none does.
// Disabled inputs count too: they still own their terminals.
QString ConflictingInput(const DAQInputList &inputs, const QString &oldName, qint32 inputType, qint32 channel);

// A name that is a number ("12", "1.5", "-3", "1e5") or holds one of
// \ / : * ? " < > |.
bool IsForbiddenName(const QString &name);

// Messages of the panel.
inline const char *const NameMissing = "Please enter a name for this input";
inline const char *const NameTaken = "An element already exists with that name";
inline const char *const ChannelInUse = "The selected input is already being used by '";
inline const char *const NameForbidden =
    "The name cannot be a numeric value, or contain the following characters \\ / : * ? \" < > |";
inline const char *const ThresholdOrder = "The warning threshold value must be less than the critical threshold value";
inline const char *const MASRename = "The MAS input is required for real-time trace, hence it cannot be renamed.";
inline const char *const MASDelete = "The MAS input is required for real-time tracing.";
inline const char *const StagedType =
    "This input is currently being used by the Staged Rev Limiter.  As a result, you cannot change its type.";
inline const char *const StagedDisable =
    "This input is currently being used by the Staged Rev Limiter.  As a result, you cannot disable it.";
inline const char *const StagedDelete = "You cannot delete this input since it's being used by the Staged Rev Limiter";
inline const char *const DeleteQuestion = "Delete the selected item?";
inline const char *const DeviceFailure =
    "An error occured while trying to communicate with the DAQ device.  Specifically: ";
inline const char *const DeviceError = "The following error was received from the DAQ.";
inline const char *const NoVersions =
    "Could not retrieve version information.  Please ensure your DAQ device is connected.";
inline const char *const NoUnits = "No DAQ units were found.";
inline const char *const ActiveUnit = "Found active DAQ device.";

} // namespace DAQSetupRules
