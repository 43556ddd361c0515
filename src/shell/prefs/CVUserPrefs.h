#pragma once

#include "daq/CVDAQInput.h"
#include "platform/SettingsStore.h"

#include <QString>
#include <memory>
#include <vector>

// A list of DAQ inputs. The three lists of CVUserPrefs hold the same record
// objects: a change to a record is seen in all of them.
using DAQInputList = std::vector<std::shared_ptr<CVDAQInput>>;

// The user's persistent settings. Loaded from the store when created, held in
// memory while the program runs, written back when released. Other parts read
// and write settings through these properties only.
class CVUserPrefs
{
public:
    // The rev limiter byte the staged rev limiter applies by default:
    // 60 x 50 = 3000 RPM.
    static constexpr int DefaultStagedRevLimiter = 60;

    explicit CVUserPrefs(SettingsStore &store);
    ~CVUserPrefs();
    CVUserPrefs(const CVUserPrefs &) = delete;
    CVUserPrefs &operator=(const CVUserPrefs &) = delete;

    // Writes every stored scalar back, as text. Called on release.
    void Save();

    int WndLeftPos() const { return m_wndLeftPos; }
    void SetWndLeftPos(int v) { m_wndLeftPos = v; }
    int WndTopPos() const { return m_wndTopPos; }
    void SetWndTopPos(int v) { m_wndTopPos = v; }
    int WndWidth() const { return m_wndWidth; }
    void SetWndWidth(int v) { m_wndWidth = v; }
    int WndHeight() const { return m_wndHeight; }
    void SetWndHeight(int v) { m_wndHeight = v; }
    int SplitterX() const { return m_splitterX; }
    void SetSplitterX(int v) { m_splitterX = v; }
    int COMPort() const { return m_comPort; }
    void SetCOMPort(int v) { m_comPort = v; }
    // A device path naming the port instead of COMPort (USB-serial adapters);
    // empty means the COMPort number decides.
    QString PortName() const { return m_portName; }
    void SetPortName(const QString &v) { m_portName = v; }
    int ConnectionState() const { return m_connectionState; }
    void SetConnectionState(int v) { m_connectionState = v; }
    bool ShowRTWarning() const { return m_showRTWarning; }
    void SetShowRTWarning(bool v) { m_showRTWarning = v; }
    bool ShowEULADialog() const { return m_showEULADialog; }
    void SetShowEULADialog(bool v) { m_showEULADialog = v; }
    int HighlightMode() const { return m_highlightMode; }
    void SetHighlightMode(int v) { m_highlightMode = v; }
    int DataLogFormat() const { return m_dataLogFormat; }
    void SetDataLogFormat(int v) { m_dataLogFormat = v; }
    int DAQSampleRate() const { return m_daqSampleRate; }
    void SetDAQSampleRate(int v) { m_daqSampleRate = v; }
    int DAQRPMMultiplier() const { return m_daqRPMMultiplier; }
    void SetDAQRPMMultiplier(int v) { m_daqRPMMultiplier = v; }
    QString GridFontName() const { return m_gridFontName; }
    void SetGridFontName(const QString &v) { m_gridFontName = v; }
    int GridFontSize() const { return m_gridFontSize; }
    void SetGridFontSize(int v) { m_gridFontSize = v; }
    bool GridFontBold() const { return m_gridFontBold; }
    void SetGridFontBold(bool v) { m_gridFontBold = v; }
    bool GridFontItalic() const { return m_gridFontItalic; }
    void SetGridFontItalic(bool v) { m_gridFontItalic = v; }
    bool StagedRevLimiterEnabled() const { return m_stagedRevLimiterEnabled; }
    void SetStagedRevLimiterEnabled(bool v) { m_stagedRevLimiterEnabled = v; }
    int StagedRevLimiter() const { return m_stagedRevLimiter; }
    void SetStagedRevLimiter(int v) { m_stagedRevLimiter = v; }
    QString StagedRevLimiterInput() const { return m_stagedRevLimiterInput; }
    void SetStagedRevLimiterInput(const QString &v) { m_stagedRevLimiterInput = v; }

    // The DAQ driver library loaded at run time ("ljacklm" by default; a
    // name or a path).
    QString DAQDriverLibrary() const { return m_daqDriverLibrary; }
    void SetDAQDriverLibrary(const QString &v) { m_daqDriverLibrary = v; }
    // Acquire from the simulated U12 (an engine on the bench) instead of the
    // device.
    bool SimulatedDAQ() const { return m_simulatedDAQ; }
    void SetSimulatedDAQ(bool v) { m_simulatedDAQ = v; }

    // ---- DAQ inputs -------------------------------------------------------
    // Kept below section LabJack, one sub-key per input named by the input,
    // written to the store at every add, update and delete (never on release).

    // At most this many analog inputs (single-ended and differential) can be
    // enabled: the device is sampled in two batches of four.
    static constexpr int MaxEnabledAnalogInputs = 8;

    // Every input in load order, later additions appended.
    const DAQInputList &DAQInputs() const { return m_daqInputs; }
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
    QString DAQInputRefusal(const QString &oldName, const QString &newName, qint32 inputType, bool enabled) const;

    // Adds an input and writes its twelve values to the store. False when a
    // store write failed (the record is in memory all the same) or when the
    // input was refused (DAQInputRefusal; nothing changes).
    bool AddDAQInput(const QString &sInputName, qint32 lInput, qint32 eInputType, qint32 lGain,
                     double dVoltageCorrection, const QString &sScalingFormula, bool bEnabled,
                     bool bThresholdsEnabled, float fWarningThreshold, quint32 lWarningThresholdColor,
                     float fCriticalThreshold, quint32 lCriticalThresholdColor, quint32 lNormalThresholdColor);
    // Removes the input and its sub-key.
    void DeleteDAQInput(const QString &name);
    // Replaces an input, possibly under a new name: delete, then add, so the
    // input moves to the end of DAQInputs. False when a store write failed or
    // the input was refused (then nothing changes).
    bool UpdateDAQInput(const QString &sOldInputName, const QString &sNewInputName, qint32 lInput,
                        qint32 eInputType, qint32 lGain, double dVoltageCorrection,
                        const QString &sScalingFormula, bool bEnabled, bool bThresholdsEnabled,
                        float fWarningThreshold, quint32 lWarningThresholdColor, float fCriticalThreshold,
                        quint32 lCriticalThresholdColor, quint32 lNormalThresholdColor);
    // The number of enabled inputs of any type.
    int GetNumEnabledInputs() const;

    SettingsStore &store() { return m_store; }

private:
    friend struct CVUserPrefsTable;
    void load();
    void loadDAQInputs();
    bool writeDAQInput(const QString &name, double correction, const CVDAQInput &input);
    void rebuildSortedLists();

    SettingsStore &m_store;

    int m_wndLeftPos = 1000;
    int m_wndTopPos = 1000;
    int m_wndWidth = 6500;
    int m_wndHeight = 6500;
    int m_splitterX = 2500;
    int m_comPort = 1;
    QString m_portName;
    int m_connectionState = 0;
    bool m_showRTWarning = true;
    bool m_showEULADialog = true;
    int m_highlightMode = 0;
    int m_dataLogFormat = 1;
    int m_daqSampleRate = 100;
    int m_daqRPMMultiplier = 150;
    QString m_gridFontName = QStringLiteral("MS Sans Serif");
    int m_gridFontSize = 8;
    bool m_gridFontBold = false;
    bool m_gridFontItalic = false;
    bool m_stagedRevLimiterEnabled = false;
    int m_stagedRevLimiter = DefaultStagedRevLimiter;
    QString m_stagedRevLimiterInput;
    QString m_daqDriverLibrary = QStringLiteral("ljacklm");
    bool m_simulatedDAQ = false;

    DAQInputList m_daqInputs;
    DAQInputList m_sortedAnalog;
    DAQInputList m_sortedDigital;
};
