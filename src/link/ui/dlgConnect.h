#pragma once

#include "link/Handshake.h"
#include "link/ui/LinkDialog.h"

class QLabel;
class QProgressBar;
class QPushButton;

// "Connection Status": opens the port and runs the version handshake. The
// caller reads IsConnected and the version bytes afterwards; the port stays
// open only when connected. Cancel ends it at once, without a question.
class dlgConnect : public LinkDialog
{
    Q_OBJECT
public:
    dlgConnect(LinkPort &port, MessageBoxService &messages, QWidget *parent = nullptr,
               HandshakeTimings timings = {}, const LinkClock &clock = LinkClock::Steady());

    bool IsConnected() const { return m_connected; }
    int MajorVer() const { return m_major; }
    int MinorVer() const { return m_minor; }
    int IDVer() const { return m_id; }

protected:
    std::unique_ptr<LinkExchange> createExchange() override;
    void exchangeEnded() override;
    bool confirmCancel() const override { return false; }

private:
    HandshakeTimings m_timings;
    QLabel *m_status;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
    bool m_connected = false;
    int m_major = 0;
    int m_minor = 0;
    int m_id = 0;
};
