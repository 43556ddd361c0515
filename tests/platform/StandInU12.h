#pragma once

// A stand-in for the vendor's LabJack U12 library, built only for the tests:
// it exports the six functions LabJackU12Driver resolves, with the vendor's
// C signatures (the platform's long: 64 bits on 64-bit Linux), records what
// each call was given and answers from a script. The StandIn_ functions
// script it and read the record; a test resolves them from the same file.

extern "C" {

struct StandInCall
{
    char name[24];
    long idnum;       // *idnum as passed in (-1: the first device)
    long args[6];     // the scalar arguments in the signature's order
    long channels[4]; // AISample
    long gains[4];
    long errorCode;   // GetErrorString
};

struct StandInCounterReply
{
    long code;
    unsigned long count;
    long stateD;
    long stateIO;
};

struct StandInSampleReply
{
    long code;
    float voltages[4];
    long overVoltage = 0;
};

// Clears the record and the script: every call then answers 0 with zeros.
void StandIn_Clear();
// Replies for the next calls, taken in turn (at most 32 of each).
void StandIn_QueueCounter(StandInCounterReply reply);
void StandIn_QueueSample(StandInSampleReply reply);
// What Reset answers, and the versions.
void StandIn_SetReset(long code);
void StandIn_SetVersions(float driver, float firmware);
int StandIn_CallCount();
const StandInCall *StandIn_Call(int index);
}
