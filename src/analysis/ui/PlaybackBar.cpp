#include "analysis/ui/PlaybackBar.h"

#include "analysis/PlaybackClock.h"

#include <QAction>
#include <QComboBox>
#include <QSignalBlocker>

namespace {

QAction *checkable(QToolBar *bar, const QString &text, const char *name, const QString &tip)
{
    QAction *a = bar->addAction(text);
    a->setObjectName(QLatin1String(name));
    a->setCheckable(true);
    a->setToolTip(tip);
    return a;
}

} // namespace

PlaybackBar::PlaybackBar(QWidget *parent) : QToolBar(QStringLiteral("Playback"), parent)
{
    setObjectName(QStringLiteral("tbViewerPlayback"));
    m_playback = checkable(this, QStringLiteral("Playback"), "actViewerPlayback",
                           QStringLiteral("The cursor drives the map grid, the strip, the gauges and the 3D view as "
                                          "if the engine ran (ends real-time mode)"));
    m_play = checkable(this, QStringLiteral("Play"), "actViewerPlay", QStringLiteral("Play or pause (Space)"));
    m_speed = new QComboBox(this);
    m_speed->setObjectName(QStringLiteral("comboPlaybackSpeed"));
    m_speed->setToolTip(QStringLiteral("Playback speed"));
    // The viewer's keys move the cursor, whatever was clicked last.
    m_speed->setFocusPolicy(Qt::NoFocus);
    for (double s : PlaybackClock::Speeds)
        m_speed->addItem(QLatin1String(PlaybackClock::SpeedCaption(s)), s);
    m_speed->setCurrentIndex(m_speed->findData(1.0));
    addWidget(m_speed);
    m_loop = checkable(this, QStringLiteral("Loop A-B"), "actViewerLoop",
                       QStringLiteral("Play between cursors A and B again and again"));
    addSeparator();
    m_follow = checkable(this, QStringLiteral("Follow Running Log"), "actViewerFollow",
                         QStringLiteral("Show the lines the running log gains while real-time mode logs"));

    connect(m_playback, &QAction::toggled, this, &PlaybackBar::playbackToggled);
    connect(m_play, &QAction::toggled, this, &PlaybackBar::playToggled);
    connect(m_loop, &QAction::toggled, this, &PlaybackBar::loopToggled);
    connect(m_follow, &QAction::toggled, this, &PlaybackBar::followToggled);
    connect(m_speed, &QComboBox::currentIndexChanged, this, [this] { emit speedChanged(speed()); });
}

double PlaybackBar::speed() const
{
    return m_speed->currentData().toDouble();
}

void PlaybackBar::showPlayback(bool on)
{
    const QSignalBlocker block(m_playback);
    m_playback->setChecked(on);
}

void PlaybackBar::showPlaying(bool playing)
{
    const QSignalBlocker block(m_play);
    m_play->setChecked(playing);
    m_play->setText(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
}

void PlaybackBar::showFollowing(bool following)
{
    const QSignalBlocker block(m_follow);
    m_follow->setChecked(following);
}
