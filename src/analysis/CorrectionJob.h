#pragma once

#include "analysis/DataLog.h"
#include "analysis/FuelCorrection.h"
#include "model/Tune.h"

#include <QString>
#include <atomic>
#include <functional>
#include <thread>

// Reads a log and computes a fuel correction from all of it on a thread of
// its own. Following a running log means doing this every few seconds over a
// log that grows for hours, and with the delay estimated an hour's log takes
// a good part of a second: on the thread that also runs the acquisition's
// ticks that would leave gaps in the very log being followed. The job owns
// its thread and copies of everything it reads; destroying it cancels the
// read and waits.
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
    ~CorrectionJob();
    CorrectionJob(const CorrectionJob &) = delete;
    CorrectionJob &operator=(const CorrectionJob &) = delete;

    // Stops the read where it stands (the computation, once begun, ends on
    // its own); the job is then done without a result.
    void cancel() { m_progress.cancel.store(true); }
    bool done() const { return m_done.load(); }
    const Input &input() const { return m_input; }

    // Once done(): what the read found, the log and the proposal from it.
    // Each waits for the thread.
    const DataLogReport &report();
    DataLog takeLog();
    FuelCorrection::Proposal takeProposal();

private:
    void finish();

    Input m_input;
    DataLogProgress m_progress;
    std::atomic<bool> m_done{false};
    DataLogReport m_report;
    DataLog m_log;
    FuelCorrection::Proposal m_proposal;
    std::thread m_thread;
};
