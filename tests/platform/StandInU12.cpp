#include "StandInU12.h"

#include <cstdio>
#include <cstring>

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int MaxCalls = 256;
constexpr int MaxReplies = 32;

struct Script
{
    StandInCall calls[MaxCalls];
    int callCount = 0;
    StandInCounterReply counters[MaxReplies];
    int countersQueued = 0, countersTaken = 0;
    StandInSampleReply samples[MaxReplies];
    int samplesQueued = 0, samplesTaken = 0;
    long resetCode = 0;
    float driverVersion = 0.0f, firmwareVersion = 0.0f;
} script;

StandInCall &record(const char *name, const long *idnum)
{
    static StandInCall overflow;
    StandInCall &call = script.callCount < MaxCalls ? script.calls[script.callCount++] : overflow;
    call = StandInCall{};
    std::snprintf(call.name, sizeof call.name, "%s", name);
    call.idnum = idnum ? *idnum : 0;
    return call;
}

} // namespace

STANDIN_EXPORT void StandIn_Clear() { script = Script{}; }
STANDIN_EXPORT void StandIn_QueueCounter(StandInCounterReply reply)
{
    if (script.countersQueued < MaxReplies)
        script.counters[script.countersQueued++] = reply;
}
STANDIN_EXPORT void StandIn_QueueSample(StandInSampleReply reply)
{
    if (script.samplesQueued < MaxReplies)
        script.samples[script.samplesQueued++] = reply;
}
STANDIN_EXPORT void StandIn_SetReset(long code) { script.resetCode = code; }
STANDIN_EXPORT void StandIn_SetVersions(float driver, float firmware)
{
    script.driverVersion = driver;
    script.firmwareVersion = firmware;
}
STANDIN_EXPORT int StandIn_CallCount() { return script.callCount; }
STANDIN_EXPORT const StandInCall *StandIn_Call(int index)
{
    return index >= 0 && index < script.callCount ? &script.calls[index] : nullptr;
}

// ---- the vendor's functions -------------------------------------------------

STANDIN_EXPORT long Counter(long *idnum, long demo, long *stateD, long *stateIO, long resetCounter, long enableSTB,
                            unsigned long *count)
{
    StandInCall &call = record("Counter", idnum);
    const long args[] = {demo, resetCounter, enableSTB};
    std::memcpy(call.args, args, sizeof args);
    const StandInCounterReply reply =
        script.countersTaken < script.countersQueued ? script.counters[script.countersTaken++] : StandInCounterReply{};
    // Every output is written whole, as the library writes a long: a caller
    // that passed narrower storage is caught by the sanitizers.
    *stateD = reply.stateD;
    *stateIO = reply.stateIO;
    *count = reply.count;
    *idnum = 0; // the local id of the device found
    return reply.code;
}

STANDIN_EXPORT long AISample(long *idnum, long demo, long *stateIO, long updateIO, long ledOn, long numChannels,
                             long *channels, long *gains, long disableCal, long *overVoltage, float *voltages)
{
    StandInCall &call = record("AISample", idnum);
    const long args[] = {demo, *stateIO, updateIO, ledOn, numChannels, disableCal};
    std::memcpy(call.args, args, sizeof args);
    for (long i = 0; i < 4; ++i) {
        call.channels[i] = channels[i];
        call.gains[i] = gains[i];
    }
    const StandInSampleReply reply =
        script.samplesTaken < script.samplesQueued ? script.samples[script.samplesTaken++] : StandInSampleReply{};
    if (reply.code == 0) {
        for (long i = 0; i < numChannels && i < 4; ++i)
            voltages[i] = reply.voltages[i];
    }
    *overVoltage = reply.overVoltage;
    *stateIO = 0;
    *idnum = 0;
    return reply.code;
}

STANDIN_EXPORT long Reset(long *idnum)
{
    record("Reset", idnum);
    *idnum = 0;
    return script.resetCode;
}

STANDIN_EXPORT float GetDriverVersion()
{
    record("GetDriverVersion", nullptr);
    return script.driverVersion;
}

STANDIN_EXPORT float GetFirmwareVersion(long *idnum)
{
    record("GetFirmwareVersion", idnum);
    *idnum = 0;
    return script.firmwareVersion;
}

STANDIN_EXPORT void GetErrorString(long errorcode, char *errorString)
{
    StandInCall &call = record("GetErrorString", nullptr);
    call.errorCode = errorcode;
    // The vendor's texts fill at most 50 characters with the terminator.
    std::snprintf(errorString, 50, "Stand-in error %ld: the U12 said no", errorcode);
}
