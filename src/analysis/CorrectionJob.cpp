#include "analysis/CorrectionJob.h"

CorrectionJob::CorrectionJob(Input input, std::function<void()> whenDone)
    : m_input(withoutListener(std::move(input))),
      m_read(m_input.path, std::move(whenDone), [this](const DataLog &log) {
          m_proposal = FuelCorrection::Compute(log, m_input.tune, m_input.settings, &m_input.applied,
                                               FuelCorrection::LogKey(log, m_input.path));
      })
{
}

// The copy of the corrections already applied is only read here: it must
// not tell the history of anything.
CorrectionJob::Input CorrectionJob::withoutListener(Input input)
{
    input.applied.setListener({});
    return input;
}

FuelCorrection::Proposal CorrectionJob::takeProposal()
{
    m_read.report(); // waits for the thread
    return std::move(m_proposal);
}
