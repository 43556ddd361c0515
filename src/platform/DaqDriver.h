#pragma once

#include "platform/ErrorRecord.h"

#include <QString>
#include <QtGlobal>

// The data-acquisition unit's driver: the six functions of the LabJack U12
// library the program relies on, with the library's arguments in the
// library's order. Implementations: LabJackU12Driver (the vendor's library,
// loaded at run time) and SimulatedU12Driver (an engine on the bench).
//
// Every function returns what the library returns (an error code, 0 for
// success, or a version number). When the library cannot be loaded or the
// function cannot be called at all, the function instead sets `failure`
// (number and the platform's message), leaves every output untouched and
// returns 0. `failure` is left alone on success, so a caller can pass one
// record through a sequence of calls.
class DaqDriver
{
public:
    // The device id every call passes: the first device found.
    static constexpr qint32 FirstDevice = -1;
    // GetErrorString fills a buffer of this many characters.
    static constexpr int ErrorStringSize = 50;

    virtual ~DaqDriver() = default;

    // Called on the thread that owns the program's state (the preferences,
    // the tune) before each acquisition cycle, whose device calls may then
    // run on another thread: a driver that reads that state copies it here.
    virtual void PrepareCycle() {}

    // Reads (and with resetCounter 1, restarts) the pulse counter and the
    // states of the 16 D lines (bit n = Dn) and the 4 IO lines (bit n = IOn).
    virtual qint32 Counter(qint32 *idnum, qint32 demo, qint32 *stateD, qint32 *stateIO, qint32 resetCounter,
                           qint32 enableSTB, quint32 *count, ErrorRecord &failure) = 0;

    // Samples numChannels (1, 2 or 4) analog channels: channels 0..7 are
    // single-ended AI0..AI7, 8..11 the differential pairs AI0-AI1..AI6-AI7;
    // gains are the gain codes 0..7 (used by differential channels).
    // channels, gains and voltages hold four entries each.
    virtual qint32 AISample(qint32 *idnum, qint32 demo, qint32 *stateIO, qint32 updateIO, qint32 ledOn,
                            qint32 numChannels, const qint32 *channels, const qint32 *gains, qint32 disableCal,
                            qint32 *overVoltage, float *voltages, ErrorRecord &failure) = 0;

    virtual qint32 Reset(qint32 *idnum, ErrorRecord &failure) = 0;
    virtual float GetDriverVersion(ErrorRecord &failure) = 0;
    virtual float GetFirmwareVersion(qint32 *idnum, ErrorRecord &failure) = 0;

    // Writes the text of errorCode into errorString (ErrorStringSize
    // characters, NUL-terminated).
    virtual void GetErrorString(qint32 errorCode, char *errorString, ErrorRecord &failure) = 0;
};
