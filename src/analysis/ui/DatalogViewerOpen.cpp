// The datalog viewer opening a log: the file is read on the reading thread
// while this thread goes on with its events (the acquisition's tick among
// them), then the log replaces the one shown in one step.

#include "analysis/ui/DatalogViewer.h"

#include "analysis/LogReadJob.h"
#include "analysis/ui/LogPlotStack.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace {
constexpr int ProgressMs = 100;
} // namespace

bool DatalogViewer::openLog(const QString &path)
{
    std::optional<ReadLog> read = readOffThread(path);
    if (!read)
        return false;
    if (!read->report.ok) {
        m_ui.messages.exclamation(this,
                                  QStringLiteral("The datalog %1 could not be opened: %2").arg(path, read->report.error));
        return false;
    }
    showLog(path, std::move(read->log), read->report);
    return true;
}

std::optional<DatalogViewer::ReadLog> DatalogViewer::readOffThread(const QString &path, bool quiet)
{
    if (m_readJob) {
        if (!quiet)
            statusBar()->showMessage(QStringLiteral("A datalog is being opened: wait for it or cancel it."), 4000);
        return std::nullopt;
    }
    QEventLoop loop;
    // Declared after the loop, so the thread is gone before the loop is.
    LogReadJob job(path, [&loop] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); });
    m_readJob = &job;
    m_readLoop = &loop;
    m_readCancelled = false;
    m_readProgress->setValue(0);
    m_readProgress->setVisible(!quiet);
    m_cancelRead->setVisible(!quiet);
    if (!quiet)
        m_summary->setText(QStringLiteral("Opening %1...").arg(QFileInfo(path).fileName()));
    QTimer progress;
    progress.setInterval(ProgressMs);
    connect(&progress, &QTimer::timeout, this,
            [this, &job] { m_readProgress->setValue(static_cast<int>(job.fraction() * 1000)); });
    progress.start();
    emit openingStarted(path);
    if (!m_readCancelled)
        loop.exec();
    progress.stop();
    m_readJob = nullptr;
    m_readLoop = nullptr;
    m_readProgress->hide();
    m_cancelRead->hide();
    m_summary->setText(m_shownSummary);
    // The loop also ends when the application leaves: a read not done then
    // is dropped like a cancelled one.
    if (m_readCancelled || !job.done()) {
        job.cancel();
        if (!quiet)
            statusBar()->showMessage(QStringLiteral("Opening the datalog was cancelled."), 4000);
        return std::nullopt;
    }
    return ReadLog{job.takeLog(), job.report()};
}

void DatalogViewer::cancelOpening()
{
    if (!m_readJob)
        return;
    m_readCancelled = true;
    m_readJob->cancel();
    m_readLoop->quit();
}

void DatalogViewer::showLog(const QString &path, DataLog log, const DataLogReport &report)
{
    // The plots read the log they show: they go before it does.
    m_plots->setColumns({});
    m_log = std::move(log);
    m_report = report;
    m_path = path;
    m_rpmColumn = m_log.columnIndex(QStringLiteral("RPM"));
    m_tpColumn = m_log.columnIndex(QStringLiteral("TP"));
    setWindowTitle(QStringLiteral("Datalog Viewer - %1").arg(QFileInfo(path).fileName()));
    QString summary = report.summary();
    if (!m_log.startText.isEmpty())
        summary = QStringLiteral("Started %1; ").arg(m_log.startText) + summary;
    if (m_log.timeIsSampleNumber)
        summary += QStringLiteral("; no dates: time is the sample number");
    showSummary(summary);
    m_markA = m_markB = -1;

    m_nav.reset();
    m_plots->clearCursor();
    m_plots->showRange(m_nav.start(), m_nav.end());
    fillColumnList();
    rebuildPlots();
    if (hasLog())
        setCursorRow(0);
    else
        refreshCursorTable();
    emit logLoaded();
}

void DatalogViewer::showSummary(const QString &summary)
{
    m_shownSummary = summary;
    m_summary->setText(summary);
}
