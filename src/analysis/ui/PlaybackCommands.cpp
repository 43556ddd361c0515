#include "analysis/ui/PlaybackCommands.h"

#include "analysis/ui/AnalysisCommands.h"
#include "analysis/ui/DatalogViewer.h"
#include "analysis/ui/PlaybackBar.h"
#include "commands/CommandEnabling.h"
#include "commands/ui/CommandEnabler.h"
#include "daq/DaqSettings.h"
#include "daq/ui/AcquisitionCommands.h"
#include "daq/ui/RealTimeStripView.h"
#include "link/LinkSession.h"
#include "link/ui/ConnectionCommands.h"
#include "model/ProgramState.h"
#include "shell/MainWindow.h"

#include <QLabel>
#include <QTimer>

PlaybackCommands::PlaybackCommands(const Parts &parts)
    : QObject(parts.window.DialogParent()), m_window(parts.window), m_state(parts.state), m_marks(parts.marks),
      m_prefs(parts.prefs), m_link(parts.link), m_connection(parts.connection), m_acquisition(parts.acquisition),
      m_analysis(parts.analysis), m_commands(parts.commands)
{
    m_frame = new QTimer(this);
    m_frame->setObjectName(QStringLiteral("timerPlayback"));
    m_frame->setTimerType(Qt::PreciseTimer);
    m_frame->setInterval(FrameMs);
    connect(m_frame, &QTimer::timeout, this, &PlaybackCommands::frame);
    connect(&m_analysis, &AnalysisCommands::viewerCreated, this, &PlaybackCommands::attach);
    connect(&m_link, &LinkSession::realTimeStarted, this, &PlaybackCommands::realTimeStarted);
    if (DatalogViewer *viewer = m_analysis.viewer())
        attach(viewer);
}

PlaybackCommands::~PlaybackCommands() = default;

void PlaybackCommands::attach(DatalogViewer *viewer)
{
    m_viewer = viewer;
    PlaybackBar *bar = viewer->playbackBar();
    m_commands.Register(Command::Playback, bar->playbackAction());
    m_commands.Register(Command::Playback, bar->playAction());
    connect(bar, &PlaybackBar::playbackToggled, this, [this](bool on) { SetActive(on); });
    connect(bar, &PlaybackBar::playToggled, this, &PlaybackCommands::Play);
    connect(bar, &PlaybackBar::speedChanged, this, &PlaybackCommands::SetSpeed);
    connect(bar, &PlaybackBar::loopToggled, this, &PlaybackCommands::SetLoop);
    connect(viewer, &DatalogViewer::cursorRowMoved, this, &PlaybackCommands::ShowRow);
    connect(viewer, &DatalogViewer::closed, this, [this] { SetActive(false); });
    connect(viewer, &DatalogViewer::logLoaded, this, [this] {
        // Another log: its own columns, and the views from its cursor.
        Play(false);
        if (m_active)
            SetActive(true);
        m_commands.Refresh();
    });
    connect(viewer, &DatalogViewer::marksChanged, this, [this] {
        if (Playing())
            anchor();
    });
    m_commands.Refresh();
}

bool PlaybackCommands::Playing() const
{
    return m_frame->isActive();
}

void PlaybackCommands::say(const char *note)
{
    if (*note)
        m_window.ShowStatusMessage(QLatin1String(note), StatusLine::StatusMessageMs);
}

bool PlaybackCommands::SetActive(bool on)
{
    if (on && (!m_viewer || !m_viewer->hasLog()))
        on = false;
    if (on) {
        CommandStates states;
        states.realTime = m_link.RealTimeEnabled();
        states.playback = m_active;
        const LiveSourceChange change = Starting(LiveSource::Playback, states);
        if (change.endRealTime)
            m_connection.RealTimeMode(); // the switch, while the mode is on, ends it
        say(change.note);
        if (m_link.RealTimeEnabled())
            on = false; // still on: the engine keeps the views
    }
    const bool was = m_active;
    m_active = on;
    if (m_viewer)
        m_viewer->playbackBar()->showPlayback(on);
    m_window.StatusBarPanels().Playback->setVisible(on);
    if (on) {
        QStringList digital;
        for (const auto &input : m_prefs.SortedDigitalDAQInputs())
            digital << input->Name();
        m_columns = LogPlayback::FindColumns(m_viewer->log(), digital);
        if (!was) {
            m_strip = RealTimeStrip();
            m_window.ShowRealTimeStrip(true);
        }
        ShowRow(std::max<std::ptrdiff_t>(0, m_viewer->cursorRow()));
    } else {
        Play(false);
        if (was) {
            if (!m_link.RealTimeEnabled())
                m_window.ShowRealTimeStrip(false);
            emit samplesStopped();
        }
    }
    if (was != on) {
        m_commands.Refresh();
        emit changed();
    }
    return on;
}

void PlaybackCommands::realTimeStarted()
{
    CommandStates states;
    states.playback = m_active;
    const LiveSourceChange change = Starting(LiveSource::RealTime, states);
    if (!change.endPlayback)
        return;
    SetActive(false);
    say(change.note);
}

void PlaybackCommands::ShowRow(std::ptrdiff_t row)
{
    if (!m_active || !m_viewer || row < 0)
        return;
    // A cursor the user moved while playing: play goes on from there.
    if (Playing() && !m_stepping)
        anchor();
    const AcquisitionSample sample =
        LogPlayback::SampleAt(m_viewer->log(), m_columns, static_cast<std::size_t>(row), m_state.tune, m_marks,
                              m_prefs.HighlightMode() == 1);
    m_strip.Show(sample);
    m_acquisition.strip()->Show(m_strip);
    emit sampleTaken(sample);
}

void PlaybackCommands::Play(bool playing)
{
    if (playing && !m_active && !SetActive(true))
        playing = false;
    if (playing) {
        // From the end of the log (or past the loop), play starts over.
        const DataLog &log = m_viewer->log();
        if (!m_loop && m_viewer->cursorRow() + 1 >= static_cast<std::ptrdiff_t>(log.rowCount()))
            m_viewer->setCursorRow(0);
        anchor();
        m_frame->start();
    } else {
        m_frame->stop();
    }
    if (m_viewer)
        m_viewer->playbackBar()->showPlaying(playing);
}

void PlaybackCommands::anchor()
{
    m_from = m_viewer && m_viewer->cursorRow() >= 0
                 ? m_viewer->log().time[static_cast<std::size_t>(m_viewer->cursorRow())]
                 : 0.0;
    m_clock.start();
}

void PlaybackCommands::SetSpeed(double speed)
{
    if (Playing())
        frame(); // the time played so far counts at the old speed
    m_speed = speed;
    if (Playing())
        anchor();
}

void PlaybackCommands::SetLoop(bool loop)
{
    m_loop = loop;
    if (Playing())
        anchor();
}

void PlaybackCommands::frame()
{
    if (!m_viewer || !m_viewer->hasLog()) {
        Play(false);
        return;
    }
    const DataLog &log = m_viewer->log();
    PlaybackClock::Span span{0, log.time.back(), false};
    if (const auto window = m_viewer->selectedWindow(); m_loop && window)
        span = {window->first, window->second, true};
    const PlaybackClock::Position at =
        PlaybackClock::After(m_from, static_cast<double>(m_clock.nsecsElapsed()) / 1e9, m_speed, span);
    const std::ptrdiff_t row = log.rowAtOrBefore(at.time);
    const std::ptrdiff_t from = m_viewer->cursorRow();
    // A frame may pass over several lines; where visited cells are kept,
    // each of them marks its cell as it would have live.
    if (m_prefs.HighlightMode() == 1 && row > from + 1)
        for (std::ptrdiff_t r = std::max(from + 1, row - MaxLinesPerFrame); r < row; ++r)
            emit sampleTaken(LogPlayback::SampleAt(log, m_columns, static_cast<std::size_t>(r), m_state.tune,
                                                   m_marks, true));
    if (row != from) {
        m_stepping = true;
        m_viewer->setCursorRow(row);
        m_stepping = false;
    }
    if (at.ended)
        Play(false);
}
