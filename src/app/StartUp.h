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
    // askAgreement runs the agreement and says whether it was accepted; by
    // default the agreement dialog over the splash.
    StartUp(WindowSettings &prefs, MessageBoxService &messages, std::function<void()> openMainWindow,
            std::function<bool()> askAgreement = {});
    ~StartUp() override;

    void begin();
    SplashWindow *splash() const { return m_splash; }

signals:
    void declined();

private:
    void splashTimerFired();

    WindowSettings &m_prefs;
    MessageBoxService &m_messages;
    std::function<void()> m_openMainWindow;
    std::function<bool()> m_askAgreement;
    SplashWindow *m_splash = nullptr;
    QTimer *m_timer = nullptr;
};
