#include "analysis/LogReadJob.h"

#include <QFileInfo>

#include <algorithm>

LogReadJob::LogReadJob(const QString &path, std::function<void()> whenDone, AfterRead afterRead)
    : m_size(QFileInfo(path).size())
{
    // The thread starts last, when every member it writes exists.
    m_thread = std::thread([this, path, notify = std::move(whenDone), after = std::move(afterRead)] {
        m_log = ReadDataLog(path, &m_report, &m_progress);
        if (after && m_report.ok && !m_progress.cancel.load())
            after(m_log);
        m_done.store(true);
        if (notify)
            notify();
    });
}

LogReadJob::~LogReadJob()
{
    cancel();
    finish();
}

void LogReadJob::finish()
{
    if (m_thread.joinable())
        m_thread.join();
}

double LogReadJob::fraction() const
{
    if (m_size <= 0)
        return m_done.load() ? 1.0 : 0.0;
    return std::clamp(static_cast<double>(m_progress.bytesRead.load()) / static_cast<double>(m_size), 0.0, 1.0);
}

DataLog LogReadJob::takeLog()
{
    finish();
    return std::move(m_log);
}

const DataLogReport &LogReadJob::report()
{
    finish();
    return m_report;
}
