#include "app/StartUp.h"

#include "app/SplashWindow.h"
#include "app/dlgEULA.h"
#include "shell/WindowSettings.h"

#include <QTimer>

StartUp::StartUp(WindowSettings &prefs, MessageBoxService &messages, std::function<void()> openMainWindow,
                 std::function<bool()> askAgreement)
    : m_prefs(prefs), m_messages(messages), m_openMainWindow(std::move(openMainWindow)),
      m_askAgreement(std::move(askAgreement))
{
    if (!m_askAgreement)
        m_askAgreement = [this] {
            dlgEULA eula(m_messages, m_splash);
            eula.exec();
            return eula.Accepted();
        };
}

StartUp::~StartUp()
{
    delete m_splash;
}

void StartUp::begin()
{
    m_splash = new SplashWindow;
    m_splash->show();
    m_splash->repaint();
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &StartUp::splashTimerFired);
    m_timer->start(SplashWindow::DisplayMs);
}

void StartUp::splashTimerFired()
{
    m_timer->stop();
    if (m_prefs.ShowEULADialog()) {
        if (!m_askAgreement()) {
            m_splash->close();
            emit declined();
            return;
        }
        // Kept at once: a run that ends badly later need not ask again.
        m_prefs.SetShowEULADialog(false);
        m_prefs.Save();
    }
    m_splash->close();
    m_openMainWindow();
}
