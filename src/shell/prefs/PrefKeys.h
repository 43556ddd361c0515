#pragma once

// Sections and value names of the preferences store.
namespace PrefKeys {
inline constexpr const char *SettingsSection = "Settings";
inline constexpr const char *LabJackSection = "LabJack";

inline constexpr const char *MainLeft = "MainLeft";
inline constexpr const char *MainTop = "MainTop";
inline constexpr const char *MainWidth = "MainWidth";
inline constexpr const char *MainHeight = "MainHeight";
inline constexpr const char *SplitterX = "SplitterX";
inline constexpr const char *COMPort = "COMPort";
inline constexpr const char *PortName = "PortName";
inline constexpr const char *ShowRTWarning = "ShowRTWarning";
inline constexpr const char *ShowEULADialog = "ShowEULADialog";
inline constexpr const char *HighlightMode = "HighlightMode";
inline constexpr const char *DataLogFormat = "DataLogFormat";
inline constexpr const char *SampleRate = "SampleRate";
inline constexpr const char *RPMMultiplier = "RPMMultiplier";
inline constexpr const char *GridFontName = "GridFontName";
inline constexpr const char *GridFontSize = "GridFontSize";
inline constexpr const char *GridFontBold = "GridFontBold";
inline constexpr const char *GridFontItalic = "GridFontItalic";
inline constexpr const char *StagedRevLimiterEnabled = "StagedRevLimiterEnabled";
inline constexpr const char *StagedRevLimiter = "StagedRevLimiter";
inline constexpr const char *StagedRevLimiterInput = "StagedRevLimiterInput";
inline constexpr const char *DAQDriverLibrary = "DriverLibrary";
inline constexpr const char *SimulatedDAQ = "Simulated";

// The values of one DAQ input's sub-key below section LabJack, in the order
// they are written.
namespace DAQInputKeys {
inline constexpr const char *Correction = "Correction";                         // text
inline constexpr const char *Input = "Input";                                   // number
inline constexpr const char *InputType = "InputType";                           // number
inline constexpr const char *Gain = "Gain";                                     // number
inline constexpr const char *ScalingFormula = "ScalingFormula";                 // text
inline constexpr const char *Enabled = "Enabled";                               // text "1" / "0"
inline constexpr const char *ThresholdsEnabled = "ThresholdsEnabled";           // number 1 / 0
inline constexpr const char *WarningThreshold = "WarningThreshold";             // text
inline constexpr const char *WarningThresholdColor = "WarningThresholdColor";   // number
inline constexpr const char *CriticalThreshold = "CriticalThreshold";           // text
inline constexpr const char *CriticalThresholdColor = "CriticalThresholdColor"; // number
inline constexpr const char *NormalThresholdColor = "NormalThresholdColor";     // number
} // namespace DAQInputKeys

// On the application node itself, in no section.
inline constexpr const char *MRU = "MRU";
} // namespace PrefKeys
