#pragma once

#include "analysis/DataLog.h"

#include <QString>
#include <functional>
#include <thread>

// Reads one data log on a thread of its own, so that whoever waits for it
// (the viewer, with the acquisition's timer running on the same thread) goes
// on meanwhile. The job owns the thread: destroying it stops the read and
// waits for it, so nothing the read touches outlives the job.
class LogReadJob
{
public:
    // Runs on the reading thread after a read that succeeded and was not
    // cancelled, before the job is done: more work on the log, off the
    // waiting thread.
    using AfterRead = std::function<void(const DataLog &)>;

    // Starts reading at once. whenDone runs on the reading thread when the
    // read has ended (read, failed or cancelled); it must only post.
    LogReadJob(const QString &path, std::function<void()> whenDone, AfterRead afterRead = {});
    ~LogReadJob();
    LogReadJob(const LogReadJob &) = delete;
    LogReadJob &operator=(const LogReadJob &) = delete;

    void cancel() { m_progress.cancel.store(true); }
    bool done() const { return m_done.load(); }
    // How much of the file is read, 0 to 1 (the size when the read began).
    double fraction() const;

    // Once done(): the log and what the read found. Waits for the thread.
    DataLog takeLog();
    const DataLogReport &report();

private:
    void finish();

    qint64 m_size = 0;
    DataLogProgress m_progress;
    std::atomic<bool> m_done{false};
    DataLog m_log;
    DataLogReport m_report;
    std::thread m_thread;
};
