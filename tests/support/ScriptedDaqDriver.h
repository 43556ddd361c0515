#pragma once

// A DAQ driver that answers from a script and records every call, for tests
// of the code above the driver.

#include "platform/DaqDriver.h"

#include <QString>
#include <array>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class ScriptedDaqDriver : public DaqDriver
{
public:
    struct CounterReply { qint32 code = 0; quint32 count = 0; qint32 stateD = 0; qint32 stateIO = 0; };
    struct SampleReply
    {
        qint32 code = 0;
        std::array<float, 4> voltages{};
    };

    // The counter answers this at every call.
    CounterReply counter;
    // AISample answers these in turn, then zeros with code 0.
    std::deque<SampleReply> samples;
    // When set, every call fails as a library that cannot be called.
    ErrorRecord callFailure;
    // Error texts by code.
    std::string errorText = "Scripted error";

    // What was called, in order ("Counter", "AISample", ...), also appended
    // to an outside journal when one is given.
    std::vector<std::string> calls;
    std::vector<std::string> *journal = nullptr;
    // Runs at the start of every call, on the calling thread (a test holds
    // a call there to act while the unit "answers").
    std::function<void()> beforeCall;

    qint32 Counter(qint32 *, qint32, qint32 *stateD, qint32 *stateIO, qint32, qint32, quint32 *count,
                   ErrorRecord &failure) override
    {
        note("Counter");
        if (failed(failure))
            return 0;
        *stateD = counter.stateD;
        *stateIO = counter.stateIO;
        *count = counter.count;
        return counter.code;
    }
    qint32 AISample(qint32 *, qint32, qint32 *, qint32, qint32, qint32, const qint32 *, const qint32 *, qint32,
                    qint32 *, float *voltages, ErrorRecord &failure) override
    {
        note("AISample");
        if (failed(failure))
            return 0;
        const SampleReply reply = samples.empty() ? SampleReply() : samples.front();
        if (!samples.empty())
            samples.pop_front();
        for (int i = 0; i < 4; ++i)
            voltages[i] = reply.voltages[i];
        return reply.code;
    }
    qint32 Reset(qint32 *, ErrorRecord &failure) override { return note("Reset"), failed(failure) ? 0 : counter.code; }
    float GetDriverVersion(ErrorRecord &failure) override { return note("Version"), failed(failure) ? 0.0f : 1.25f; }
    float GetFirmwareVersion(qint32 *, ErrorRecord &failure) override
    {
        return note("Firmware"), failed(failure) ? 0.0f : 2.5f;
    }
    void GetErrorString(qint32 code, char *text, ErrorRecord &failure) override
    {
        note("GetErrorString");
        if (!failed(failure))
            std::snprintf(text, ErrorStringSize, "%s %d", errorText.c_str(), code);
    }

private:
    void note(const char *name)
    {
        if (beforeCall)
            beforeCall();
        calls.emplace_back(name);
        if (journal)
            journal->emplace_back(name);
    }
    bool failed(ErrorRecord &failure)
    {
        if (!callFailure.isSet())
            return false;
        failure = callFailure;
        return true;
    }
};
