#pragma once

#include "link/ExchangeRunner.h"
#include "link/LinkExchange.h"

#include <QDialog>
#include <memory>

class MessageBoxService;

// What the link's dialogs share: a thin modal window over one exchange. exec()
// starts the exchange and returns when it has ended; the exchange's failure
// message, if any, is shown through the message service first, unless the
// port has died (LinkPort::IsLost), which the connection's owner reports
// once. The dialog closes itself; the user can only cancel (when the dialog
// allows it).
class LinkDialog : public QDialog
{
    Q_OBJECT
public:
    // Runs the exchange; Accepted when it succeeded, Rejected otherwise.
    int exec() override;
    // How the exchange ended (Cancelled when it never ran).
    const LinkOutcome &Outcome() const { return m_outcome; }
    // How long the exchange ran, up to its end (not counting a message about
    // how it ended); 0 when it never ran.
    qint64 ElapsedMs() const { return m_elapsedMs; }

protected:
    LinkDialog(LinkPort &port, MessageBoxService &messages, const LinkClock &clock, QWidget *parent);
    ~LinkDialog() override;

    // The exchange to run, created when the dialog starts; nullptr ends the
    // dialog at once with nothing to show.
    virtual std::unique_ptr<LinkExchange> createExchange() = 0;
    // Called once the exchange has ended and its message has been shown.
    virtual void exchangeEnded() {}

    // The Cancel button. With confirm, the user is asked first; the exchange
    // keeps running while the question is open, and if it ends meanwhile, its
    // own outcome stands.
    void cancelRequested(bool confirm);

    // Escape and the window's close button act as Cancel.
    void reject() override;
    // True when Escape and the close button may cancel (false: no way out).
    virtual bool userMayCancel() const { return true; }
    virtual bool confirmCancel() const { return true; }

    LinkExchange *exchange() const { return m_exchange.get(); }

    LinkPort &m_port;
    MessageBoxService &m_messages;
    const LinkClock &m_clock;

private:
    void onFinished();
    void present();

    std::unique_ptr<LinkExchange> m_exchange;
    std::unique_ptr<ExchangeRunner> m_runner;
    LinkOutcome m_outcome = LinkOutcome::cancelled();
    qint64 m_startedMs = 0;
    qint64 m_elapsedMs = 0;
    bool m_confirming = false;
    bool m_endPending = false;
    bool m_ended = false;
};
