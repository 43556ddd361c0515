#pragma once

#include <QToolBar>

class QAction;
class QComboBox;

// The datalog viewer's playback controls: the playback switch (the cursor
// drives the live views), play and pause, the speed, looping between
// cursors A and B, and following the running log. The bar only reports what
// the user chose; the playback feature decides.
class PlaybackBar : public QToolBar
{
    Q_OBJECT
public:
    explicit PlaybackBar(QWidget *parent = nullptr);

    QAction *playbackAction() const { return m_playback; }
    QAction *playAction() const { return m_play; }
    QAction *loopAction() const { return m_loop; }
    QAction *followAction() const { return m_follow; }
    QComboBox *speedCombo() const { return m_speed; }
    double speed() const;

    // The controls show the state the feature decided on, without
    // reporting it back.
    void showPlayback(bool on);
    void showPlaying(bool playing);
    void showFollowing(bool following);

signals:
    void playbackToggled(bool on);
    void playToggled(bool playing);
    void speedChanged(double speed);
    void loopToggled(bool loop);
    void followToggled(bool follow);

private:
    QAction *m_playback = nullptr;
    QAction *m_play = nullptr;
    QAction *m_loop = nullptr;
    QAction *m_follow = nullptr;
    QComboBox *m_speed = nullptr;
};
