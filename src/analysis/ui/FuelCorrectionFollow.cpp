// The fuel correction following the running log: every FollowMs a job reads
// the log and computes on a thread of its own, while this thread goes on
// with the acquisition's ticks; its result replaces the proposal shown.

#include "analysis/ui/FuelCorrectionDialog.h"

#include "analysis/CorrectionJob.h"
#include "model/ProgramState.h"
#include "platform/SettingsStore.h"

#include <QCheckBox>
#include <QLabel>
#include <QTimer>

bool FuelCorrectionDialog::followRunningLog(bool follow)
{
    if (!follow || !m_runningLog || m_runningLog().isEmpty()) {
        m_followTimer->stop();
        m_followJob.reset();
        m_followed.reset();
        if (follow)
            lblStatus->setText(QStringLiteral("No log is running: switch real-time mode on to log, then follow it."));
        return false;
    }
    m_followTimer->start();
    startFollowJob();
    return true;
}

void FuelCorrectionDialog::startFollowJob()
{
    // A job still running is the freshest result there will be for now.
    if (m_followJob)
        return;
    const QString path = m_runningLog ? m_runningLog() : QString();
    if (path.isEmpty()) {
        // Real-time mode ended: the proposal comes from the viewer's log again.
        followRunningLog(false);
        checkFollow->setChecked(false);
        return;
    }
    m_settings = settings();
    FuelCorrection::SaveSettings(m_store, m_settings);
    m_jobGeneration = m_settingsGeneration;
    m_followJob = std::make_unique<CorrectionJob>(
        CorrectionJob::Input{path, m_state.tune, m_settings, m_applied},
        [this] { QMetaObject::invokeMethod(this, &FuelCorrectionDialog::followJobDone, Qt::QueuedConnection); });
}

void FuelCorrectionDialog::followJobDone()
{
    if (!m_followJob || !m_followJob->done())
        return;
    const std::unique_ptr<CorrectionJob> job = std::move(m_followJob);
    if (!job->report().ok) {
        lblStatus->setText(
            QStringLiteral("The running log %1 could not be read: %2").arg(job->input().path, job->report().error));
        return;
    }
    m_followed = job->takeLog();
    m_followedPath = job->input().path;
    if (m_jobGeneration != m_settingsGeneration) {
        startFollowJob();
        return;
    }
    m_proposal = job->takeProposal();
    present();
    emit followedComputed();
}
