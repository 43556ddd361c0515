#pragma once

#include "analysis/FuelCorrection.h"
#include "analysis/LogReadJob.h"
#include "model/Tune.h"

#include <QString>
#include <functional>

// Reads a log and computes a fuel correction from all of it on a thread of
// its own. Following a running log means doing this every few seconds over a
// log that grows for hours, and with the delay estimated an hour's log takes
// a good part of a second: on the thread that also runs the acquisition's
// ticks that would leave gaps in the very log being followed. The job reads
// with a LogReadJob and computes on its thread, from copies of everything it
// needs; destroying it cancels the read and waits.
class CorrectionJob
{
public:
    struct Input
    {
        QString path;
        Tune tune;
        FuelCorrection::Settings settings;
        FuelCorrection::AppliedCells applied;
    };

    // Starts at once. whenDone runs on the job's thread when it has ended;
    // it must only post.
    CorrectionJob(Input input, std::function<void()> whenDone);

    // Stops the read where it stands (the computation, once begun, ends on
    // its own); the job is then done without a result.
    void cancel() { m_read.cancel(); }
    bool done() const { return m_read.done(); }
    const Input &input() const { return m_input; }

    // Once done(): what the read found, the log and the proposal from it.
    // Each waits for the thread.
    const DataLogReport &report() { return m_read.report(); }
    DataLog takeLog() { return m_read.takeLog(); }
    FuelCorrection::Proposal takeProposal();

private:
    static Input withoutListener(Input input);

    const Input m_input;
    FuelCorrection::Proposal m_proposal;
    // Last: its thread writes m_proposal, and it is gone before that is.
    LogReadJob m_read;
};
