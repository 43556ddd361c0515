#pragma once
// A real-time sender for runs without a box (benchmarks, fuzzing): every
// write goes nowhere.

#include "link/RealTimeSender.h"

class NullSender : public RealTimeSender
{
public:
    void SendRealTimeValue(TuneItem, int, int) override {}
    void SendRealTimeVersion(const QString &) override {}
};
