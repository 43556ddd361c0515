#pragma once

#include "daq/CVDAQInput.h"
#include "platform/SettingsFields.h"

#include <QString>
#include <memory>
#include <vector>

class SettingsStore;

// A list of DAQ inputs. The three lists of DaqSettings hold the same record
// objects: a change to a record is seen in all of them.
using DAQInputList = std::vector<std::shared_ptr<CVDAQInput>>;

// The stored properties of one DAQ input, as the setup panel edits them.
struct DAQInputRecord
{
    QString name{};
    qint32 channel = 0;                 // DAQInput
    qint32 inputType = CVDAQInput::SingleEnded;
    qint32 gain = 0;
    double voltageCorrection = 0.0;     // stored as typed, kept in memory as single precision
    QString scalingFormula{};
    bool enabled = true;
    bool thresholdsEnabled = false;
    float warningThreshold = 0.0f;
    quint32 warningThresholdColor = CVDAQInput::DefaultWarningColor;
    float criticalThreshold = 0.0f;
    quint32 criticalThresholdColor = CVDAQInput::DefaultCriticalColor;
    quint32 normalThresholdColor = CVDAQInput::DefaultNormalColor;

    // The properties of an input held in memory.
    static DAQInputRecord Of(const CVDAQInput &input);
};

// Sections and value names of the DAQ's preferences.
namespace DaqKeys {
inline constexpr const char *LabJackSection = "LabJack";
inline constexpr const char *SampleRate = "SampleRate";
inline constexpr const char *RPMMultiplier = "RPMMultiplier";
inline constexpr const char *DriverLibrary = "DriverLibrary";
inline constexpr const char *Simulated = "Simulated";
// In section "Settings".
inline constexpr const char *HighlightMode = "HighlightMode";
inline constexpr const char *DataLogFormat = "DataLogFormat";
inline constexpr const char *StagedRevLimiterEnabled = "StagedRevLimiterEnabled";
inline constexpr const char *StagedRevLimiter = "StagedRevLimiter";
inline constexpr const char *StagedRevLimiterInput = "StagedRevLimiterInput";
} // namespace DaqKeys

// The data acquisition's preferences: the DAQ input records, the sampling
// settings, the device driver, the trace's highlight mode, the data log
// format and the staged rev limiter. Scalars are loaded when created and
// written back by Save; the inputs live below section LabJack, one sub-key
// per input named by the input, written to the store at every add, update
// and delete.
class DaqSettings
{
public:
    // The rev limiter byte the staged rev limiter applies by default:
    // 60 x 50 = 3000 RPM.
    static constexpr int DefaultStagedRevLimiter = 60;
    // At most this many analog inputs (single-ended and differential) can be
    // enabled: the device is sampled in two batches of four.
    static constexpr int MaxEnabledAnalogInputs = 8;
    // The sample period the acquisition accepts, in milliseconds, and the
    // counter-to-RPM factor's range.
    static constexpr int MinSamplePeriodMs = 25;
    static constexpr int MaxSamplePeriodMs = 2500;
    static constexpr int MinRPMMultiplier = 1;
    static constexpr int MaxRPMMultiplier = 1000;

    explicit DaqSettings(SettingsStore &store);
    DaqSettings(const DaqSettings &) = delete;
    DaqSettings &operator=(const DaqSettings &) = delete;

    // Writes every scalar back, as text (not flushed).
    void Save();

    int DAQSampleRate() const { return m_sampleRate; }
    void SetDAQSampleRate(int v) { m_sampleRate = v; }
    // The period the acquisition timer runs at: DAQSampleRate held within
    // the accepted range, so a hand-edited value can neither flood nor starve
    // the loop.
    int SamplePeriodMs() const;
    int DAQRPMMultiplier() const { return m_rpmMultiplier; }
    void SetDAQRPMMultiplier(int v) { m_rpmMultiplier = v; }
    // The DAQ driver library loaded at run time ("ljacklm" by default; a
    // name or a path).
    QString DAQDriverLibrary() const { return m_driverLibrary; }
    void SetDAQDriverLibrary(const QString &v) { m_driverLibrary = v; }
    // Acquire from the simulated U12 (an engine on the bench) instead of the
    // device.
    bool SimulatedDAQ() const { return m_simulated; }
    void SetSimulatedDAQ(bool v) { m_simulated = v; }
    // 0: the trace marks the current cell only; 1: every visited cell stays
    // marked until cleared.
    int HighlightMode() const { return m_highlightMode; }
    void SetHighlightMode(int v) { m_highlightMode = v; }
    // 0: tab-separated data logs; otherwise comma-separated.
    int DataLogFormat() const { return m_dataLogFormat; }
    void SetDataLogFormat(int v) { m_dataLogFormat = v; }
    bool StagedRevLimiterEnabled() const { return m_stagedEnabled; }
    void SetStagedRevLimiterEnabled(bool v) { m_stagedEnabled = v; }
    int StagedRevLimiter() const { return m_stagedLimit; }
    void SetStagedRevLimiter(int v) { m_stagedLimit = v; }
    QString StagedRevLimiterInput() const { return m_stagedInput; }
    void SetStagedRevLimiterInput(const QString &v) { m_stagedInput = v; }

    // ---- DAQ inputs -------------------------------------------------------

    // Every input in load order, later additions appended.
    const DAQInputList &DAQInputs() const { return m_inputs; }
    // The enabled analog inputs (types 0 and 1) by ascending channel number;
    // inputs on the same number keep their DAQInputs order.
    const DAQInputList &SortedAnalogDAQInputs() const { return m_sortedAnalog; }
    // The enabled digital inputs, ordered the same way.
    const DAQInputList &SortedDigitalDAQInputs() const { return m_sortedDigital; }
    // The input of that name, or nullptr.
    CVDAQInput *FindDAQInput(const QString &name) const;

    // Why an input with these properties, replacing the input oldName (empty
    // when adding), cannot be stored; empty when it can. Refused: a name the
    // store cannot hold as a sub-key (empty, or with a slash or backslash),
    // and a ninth enabled analog input.
    QString DAQInputRefusal(const QString &oldName, const DAQInputRecord &input) const;

    // Adds an input and writes its twelve values to the store. False when a
    // store write failed (the record is in memory all the same) or when the
    // input was refused (DAQInputRefusal; nothing changes).
    bool AddDAQInput(const DAQInputRecord &input);
    // Removes the input and its sub-key.
    void DeleteDAQInput(const QString &name);
    // Replaces an input, possibly under a new name: delete, then add, so the
    // input moves to the end of DAQInputs. False when a store write failed or
    // the input was refused (then nothing changes).
    bool UpdateDAQInput(const QString &oldName, const DAQInputRecord &input);
    // The number of enabled inputs of any type.
    int GetNumEnabledInputs() const;

private:
    std::vector<SettingsFields::Field> fields();
    void loadDAQInputs();
    bool writeDAQInput(const DAQInputRecord &input);
    void rebuildSortedLists();

    SettingsStore &m_store;

    int m_sampleRate = 100;
    int m_rpmMultiplier = 150;
    QString m_driverLibrary = QStringLiteral("ljacklm");
    bool m_simulated = false;
    int m_highlightMode = 0;
    int m_dataLogFormat = 1;
    bool m_stagedEnabled = false;
    int m_stagedLimit = DefaultStagedRevLimiter;
    QString m_stagedInput;

    DAQInputList m_inputs;
    DAQInputList m_sortedAnalog;
    DAQInputList m_sortedDigital;
};
