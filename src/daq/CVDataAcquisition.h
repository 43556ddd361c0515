#pragma once

#include "daq/DaqReadings.h"
#include "platform/DaqDriver.h"
#include "platform/ErrorRecord.h"

#include <QString>

#include <array>
#include <mutex>
#include <vector>

class CVScalingCalculator;
class DaqSettings;
class Tune;

// The only code that talks to the data-acquisition unit. It reads the
// engine-speed pulse counter and the digital lines, samples the enabled
// analog inputs into copies of their CVDAQInput records (which apply
// correction and formula), and derives engine speed (RPM) and engine load
// (TP) from the "MAS" voltage and the tune's injector constant.
//
// No operation lets a failure escape. A driver that cannot be loaded or
// called leaves CallError() set and the operation returns what it had; the
// driver's own error codes come back as results. One instance serves the
// whole program; between calls it keeps only its error records.
//
// An acquisition cycle can be split so that its device calls run on an
// acquisition thread while the inputs, the tune and the scaling stay on the
// thread that owns them: PlanCycle there, CallDevice on the acquisition
// thread, FinishCycle back there. Every driver call, on either thread, holds
// one lock, so the device never sees two calls at once.
class CVDataAcquisition
{
public:
    // Error number of InputError() when no enabled analog input "MAS"
    // exists while the load is computed.
    static constexpr qint32 NoMASInput = 5;
    // The device is sampled four channels per call.
    static constexpr int BatchSize = 4;

    // One cycle on its way: the enabled inputs as planned, then what the
    // device returned for them.
    struct Cycle
    {
        DaqReadings readings;
        bool counted = false; // the counter call went through and returned 0
        qint32 stateD = 0;
        qint32 stateIO = 0;
        quint32 count = 0;
        // One entry per analog batch that went through, in order.
        std::vector<std::array<float, BatchSize>> voltages;
        qint32 code = 0;         // the first failing call's error code
        QString errorText;       // the driver's text for it
        ErrorRecord callError;   // set when the driver could not be called
    };

    CVDataAcquisition(DaqDriver &driver, const DaqSettings &prefs, const Tune &tune, CVScalingCalculator &calculator);

    // Switches to another driver (a change of the driver preferences).
    void SetDriver(DaqDriver &driver) { m_driver = &driver; }
    DaqDriver &driver() const { return *m_driver; }

    // Resets the device (DAQReset): true when the call went through and
    // returned 0.
    bool HasActiveDevice();
    float GetDAQDriverVersion();
    float GetDAQFirmwareVersion();
    qint32 DAQReset();
    // One acquisition cycle: counter and lines, then the analog inputs in
    // batches of four, then load and digital inputs. Returns the driver's
    // error code of the first failing call (0 for success); fTP and lRPM
    // are 0 unless computed. readings gets the enabled inputs as sampled
    // (inputs a failing call left unread keep voltage and value 0).
    qint32 AcquireData(float &fTP, qint32 &lRPM, DaqReadings &readings);
    // AcquireData in its three steps (see the class comment). FinishCycle
    // gives what AcquireData gives for the same device answers and leaves
    // the cycle's readings scaled.
    Cycle PlanCycle();
    void CallDevice(Cycle &cycle);
    qint32 FinishCycle(Cycle &cycle, float &fTP, qint32 &lRPM);
    // The driver's text for an error code, at most 49 characters.
    QString GetErrorInfo(qint32 lErrCode);

    // Set when the last operation could not load or call the driver.
    const ErrorRecord &CallError() const { return m_callError; }
    // Set when the last AcquireData went through the device but found a
    // problem with the inputs: a scaling formula that failed (its input's
    // value is 0) or no enabled analog "MAS" input (the load is 0). The first
    // such problem of the cycle; acquisition goes on regardless.
    const ErrorRecord &InputError() const { return m_inputError; }
    // The one record callers that do not tell the two apart read:
    // CallError when set, else InputError.
    const ErrorRecord &LastError() const { return m_callError.isSet() ? m_callError : m_inputError; }

    // The engine-load value for an engine speed, the corrected "MAS" voltage
    // and the tune's injector constant K, rounded to 2 decimal places; 0 for
    // a speed of 0 and for no airflow (a voltage of 0 or below).
    static float EngineLoad(qint32 rpm, float masVoltage, int injectorK);

private:
    void noteInputError(const QString &inputName, const ErrorRecord &error);
    // The driver's text for an error code; the driver lock must be held.
    QString errorText(qint32 code, ErrorRecord &callError) const;

    DaqDriver *m_driver;
    const DaqSettings &m_prefs;
    const Tune &m_tune;
    CVScalingCalculator &m_calculator;
    ErrorRecord m_callError;
    ErrorRecord m_inputError;
    std::mutex m_driverLock; // held by every driver call
};
