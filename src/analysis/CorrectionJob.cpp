#include "analysis/CorrectionJob.h"

CorrectionJob::CorrectionJob(Input input, std::function<void()> whenDone) : m_input(std::move(input))
{
    // The copy of the corrections already applied is only read here: it
    // must not tell the history of anything.
    m_input.applied.setListener({});
    // The thread starts last, when every member it writes exists.
    m_thread = std::thread([this, notify = std::move(whenDone)] {
        m_log = ReadDataLog(m_input.path, &m_report, &m_progress);
        if (m_report.ok && !m_progress.cancel.load())
            m_proposal = FuelCorrection::Compute(m_log, m_input.tune, m_input.settings, &m_input.applied,
                                                 FuelCorrection::LogKey(m_log, m_input.path));
        m_done.store(true);
        if (notify)
            notify();
    });
}

CorrectionJob::~CorrectionJob()
{
    cancel();
    finish();
}

void CorrectionJob::finish()
{
    if (m_thread.joinable())
        m_thread.join();
}

const DataLogReport &CorrectionJob::report()
{
    finish();
    return m_report;
}

DataLog CorrectionJob::takeLog()
{
    finish();
    return std::move(m_log);
}

FuelCorrection::Proposal CorrectionJob::takeProposal()
{
    finish();
    return std::move(m_proposal);
}
