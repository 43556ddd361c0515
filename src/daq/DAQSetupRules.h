#pragma once

#include "daq/DaqSettings.h"

#include <QString>
#include <QStringList>
#include <optional>

class CVScalingCalculator;

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

// Why the panel's Update does not store an input: the message, shown with
// the critical icon or the information icon, and whether the focus goes to
// the formula box.
struct Refusal
{
    QString message;
    bool critical = false;
    bool inFormula = false;
};

// The first of the Update checks an input fails, in the panel's order:
// name missing, name taken, channel in use, name forbidden, thresholds out
// of order, formula failing at V = 0; then, when adding, what the settings
// refuse (a ninth enabled analog input); when editing, a renamed "MAS", the
// staged rev limiter's input changed from digital or disabled, what the
// settings refuse. oldName is empty when adding. Nothing when it passes.
std::optional<Refusal> CheckInput(const DaqSettings &settings, CVScalingCalculator &calculator,
                                  const QString &oldName, const DAQInputRecord &input);

// Stores an input that passed CheckInput: adds it (oldName empty) or
// replaces oldName; the staged rev limiter follows its input to a new name.
// False when the input is not in the settings afterwards.
bool StoreInput(DaqSettings &settings, const QString &oldName, const DAQInputRecord &input);

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
