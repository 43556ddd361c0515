#pragma once

#include <QObject>
#include <functional>

class WindowSettings;
class MessageBoxService;
class SplashWindow;
class QTimer;

// The start sequence: the splash, after its 1500 ms the agreement (while the
// user has not accepted it yet), then the main window. A declined agreement
// ends the program quietly.
class StartUp : public QObject
{
    Q_OBJECT
public:
    StartUp(WindowSettings &prefs, MessageBoxService &messages, std::function<void()> openMainWindow);
    ~StartUp() override;

    void begin();
    SplashWindow *splash() const { return m_splash; }

    // Runs the agreement dialog; replaced in tests.
    std::function<bool()> askAgreement;

signals:
    void declined();

private:
    void splashTimerFired();

    WindowSettings &m_prefs;
    MessageBoxService &m_messages;
    std::function<void()> m_openMainWindow;
    SplashWindow *m_splash = nullptr;
    QTimer *m_timer = nullptr;
};
