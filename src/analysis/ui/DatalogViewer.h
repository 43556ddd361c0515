#pragma once

#include "analysis/DataLog.h"
#include "analysis/LogNavigation.h"

#include <QMainWindow>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class CursorReadout;
class LogReadJob;
class QEventLoop;
class QProgressBar;
class QPushButton;
class LogChartView;
class LogPlotStack;
class PlaybackBar;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QTimer;
struct UiServices;

// The datalog viewer: opens a saved log or the running session's, plots the
// chosen columns in stacked plots that share one time range, and reads every
// column at the cursor. Wheel or +/- zooms, dragging pans, Ctrl+0 shows the
// whole log; a click or Left/Right (Shift: ten samples) moves the cursor,
// PgUp/PgDn a second, Home/End to the first and last sample; LogNavigation
// keeps the range and the cursor. Cursors A and B mark a window: the readout
// gives the differences across it, and the overlay, the correction, the
// scatter and the loop of playback take it as their time range.
class DatalogViewer : public QMainWindow
{
    Q_OBJECT
public:
    // runningLogPath: the path of the log the logger is writing now (empty
    // when none).
    DatalogViewer(UiServices &ui, std::function<QString()> runningLogPath, QWidget *parent = nullptr);
    ~DatalogViewer() override;

    // Loads a log; on failure shows why and keeps the log shown before. The
    // file is read on another thread while the window's events (and the
    // acquisition's timer) go on, its progress and Cancel in the status bar;
    // Cancel, closing the window or the application leaving keep the log
    // shown before, and so does a second open while one is under way.
    bool openLog(const QString &path);
    bool opening() const { return m_readJob != nullptr; }
    void cancelOpening();
    // "&Open Log..." and "Open &Running Session Log".
    void chooseAndOpenLog();
    void openRunningLog();

    const DataLog &log() const { return m_log; }
    bool hasLog() const { return m_log.rowCount() > 0; }
    QString logPath() const { return m_path; }
    QString loadSummary() const;

    // The plotted columns (indexes into the log's columns).
    std::vector<int> plottedColumns() const;
    void setColumnPlotted(int column, bool plotted);
    int plotCount() const;
    LogChartView *plot(int i) const;

    double viewStart() const { return m_nav.start(); }
    double viewEnd() const { return m_nav.end(); }
    void setView(double t0, double t1);
    void zoom(double factor, double centre);
    void pan(double delta);
    void showAll();

    std::ptrdiff_t cursorRow() const { return m_nav.cursorRow(); }
    void setCursorRow(std::ptrdiff_t row);
    void setCursorTime(double t);
    // The value of a column at the cursor (NaN when none).
    float valueAtCursor(int column) const;

    // Cursors A and B on rows (-1: unset; a row beyond the log unsets).
    void setMarks(std::ptrdiff_t a, std::ptrdiff_t b);
    std::ptrdiff_t markA() const { return m_markA; }
    std::ptrdiff_t markB() const { return m_markB; }
    // The times from the earlier to the later of A and B, once both are set.
    std::optional<std::pair<double, double>> selectedWindow() const;
    CursorReadout *readout() const { return m_readout; }
    PlaybackBar *playbackBar() const { return m_bar; }

    // Follows the running log: it is read again every FollowMs and the lines
    // it gained are shown. False when no log is being recorded.
    bool followRunningLog(bool follow);
    bool following() const;
    static constexpr int FollowMs = 1000;
    // Reads the followed log again now (its timer calls this): lines it
    // gained are shown, a log that shrank or changed its columns is not.
    void readFollowedLog();

signals:
    // The cursor moved to a sample: its RPM and TP (NaN when the log has
    // none), for marking the cells on the maps.
    void cursorMoved(float rpm, float tp);
    void logLoaded();
    // A read began (the window is waiting for it).
    void openingStarted(const QString &path);
    // The followed log gained lines (the log was replaced by a longer one).
    void logGrown();
    // The cursor's row, after every move.
    void cursorRowMoved(std::ptrdiff_t row);
    void marksChanged();
    void scatterRequested();
    void overlayRequested();
    void correctionRequested();
    // The window was closed: its cursor no longer marks anything.
    void closed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct ReadLog
    {
        DataLog log;
        DataLogReport report;
    };
    // Reads the file on the reading thread and waits for it; nothing when
    // cancelled or when another read is under way. A quiet read (the followed
    // log's, every second) shows neither its progress nor its end.
    std::optional<ReadLog> readOffThread(const QString &path, bool quiet = false);
    void showLog(const QString &path, DataLog log, const DataLogReport &report);
    void showSummary(const QString &summary);
    void buildUi();
    void fillColumnList();
    void rebuildPlots();
    // The plots follow the range after an operation that changed it.
    void rangeChanged(bool changed);
    // The plots, the table and the maps follow the cursor.
    void cursorChanged(bool rangeMoved);
    void refreshCursorTable();
    void columnItemChanged(QListWidgetItem *item);

    UiServices &m_ui;
    std::function<QString()> m_runningLogPath;
    DataLog m_log;
    DataLogReport m_report;
    QString m_path;
    LogNavigation m_nav{m_log};
    int m_rpmColumn = -1;
    int m_tpColumn = -1;

    QListWidget *m_columns = nullptr;
    LogPlotStack *m_plots = nullptr;
    CursorReadout *m_readout = nullptr;
    PlaybackBar *m_bar = nullptr;
    QTimer *m_followTimer = nullptr;
    qint64 m_followedSize = -1; // the followed file's size when last read
    std::ptrdiff_t m_markA = -1;
    std::ptrdiff_t m_markB = -1;
    QLabel *m_summary = nullptr;
    QString m_shownSummary; // the summary line of the log shown
    QProgressBar *m_readProgress = nullptr;
    QPushButton *m_cancelRead = nullptr;
    LogReadJob *m_readJob = nullptr;   // the read under way
    QEventLoop *m_readLoop = nullptr;  // what waits for it
    bool m_readCancelled = false;
    bool m_filling = false;
};
