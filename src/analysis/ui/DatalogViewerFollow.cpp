// The datalog viewer following the running log: the file is read again
// while real-time mode writes it, and the lines it gained are shown without
// losing the plots, the range or the cursor.

#include "analysis/ui/DatalogViewer.h"

#include "analysis/ui/LogPlotStack.h"
#include "analysis/ui/PlaybackBar.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

bool DatalogViewer::followRunningLog(bool follow)
{
    const QString running = m_runningLogPath ? m_runningLogPath() : QString();
    if (follow && running.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("No datalog is being recorded: nothing to follow."), 4000);
        follow = false;
    } else if (follow && running != m_path && !openLog(running)) {
        follow = false;
    }
    m_bar->showFollowing(follow);
    m_followedSize = QFileInfo(m_path).size();
    m_followTimer->setInterval(FollowMs);
    if (follow)
        m_followTimer->start();
    else
        m_followTimer->stop();
    return follow;
}

bool DatalogViewer::following() const
{
    return m_followTimer->isActive();
}

void DatalogViewer::readFollowedLog()
{
    const qint64 size = QFileInfo(m_path).size();
    // Nothing written since, or a read under way (the next tick reads it).
    if (size == m_followedSize || opening())
        return;
    m_followedSize = size;
    QElapsedTimer took;
    took.start();
    std::optional<ReadLog> read = readOffThread(m_path, true);
    if (!read)
        return;
    DataLog log = std::move(read->log);
    const DataLogReport report = read->report;
    // The whole log is read again, which takes longer as it grows: the
    // reads keep to a fifth of the time, so the reading thread leaves the
    // processor to the rest most of the time.
    m_followTimer->setInterval(static_cast<int>(std::max<qint64>(FollowMs, 4 * took.elapsed())));
    // A log that cannot be read now, or lost lines, is not shown over the
    // one on screen; its columns must stay those the plots were made for.
    if (!report.ok || log.rowCount() <= m_log.rowCount() || log.names != m_log.names)
        return;
    const bool atEnd = m_nav.cursorRow() + 1 >= static_cast<std::ptrdiff_t>(m_log.rowCount());
    const bool wholeShown = m_nav.start() <= 0 && m_nav.end() >= m_log.time.back();
    const std::vector<int> columns = m_plots->columns();
    const double t0 = m_nav.start(), t1 = m_nav.end();
    const std::ptrdiff_t row = m_nav.cursorRow();
    m_plots->setColumns({});
    m_log = std::move(log);
    m_report = report;
    showSummary(report.summary());
    // A view of the whole log grows with it; any other stays where it was.
    if (wholeShown)
        m_nav.showAll();
    else
        m_nav.setRange(t0, t1);
    m_plots->showRange(m_nav.start(), m_nav.end());
    m_plots->setColumns(columns);
    // A cursor on the last line stays on the last line as lines come.
    setCursorRow(atEnd ? static_cast<std::ptrdiff_t>(m_log.rowCount()) - 1 : row);
    emit logGrown();
}
