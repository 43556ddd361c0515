#pragma once

#include "daq/CVDAQInput.h"

#include <vector>

// One acquisition cycle's readings of the enabled inputs: copies of the
// input records as they were when sampled, each holding its Voltage and
// Value of this cycle. The records in the preferences stay configuration;
// live values travel here and, after the tick, in its sample.
struct DaqReadings
{
    std::vector<CVDAQInput> analog;  // in SortedAnalogDAQInputs order
    std::vector<CVDAQInput> digital; // in SortedDigitalDAQInputs order

    // Every input's value, analog inputs first, as the log's columns hold them.
    std::vector<float> Values() const
    {
        std::vector<float> values;
        values.reserve(analog.size() + digital.size());
        for (const std::vector<CVDAQInput> *list : {&analog, &digital})
            for (const CVDAQInput &input : *list)
                values.push_back(input.Value());
        return values;
    }
};
