#include "link/ui/LinkDialog.h"

#include "link/LinkMessages.h"
#include "platform/MessageBoxService.h"

LinkDialog::LinkDialog(LinkPort &port, MessageBoxService &messages, const LinkClock &clock, QWidget *parent)
    : QDialog(parent), m_port(port), m_messages(messages), m_clock(clock)
{
    setModal(true);
}

LinkDialog::~LinkDialog()
{
    // The runner refers to the exchange; let it go first.
    m_runner.reset();
    m_exchange.reset();
}

int LinkDialog::exec()
{
    if (m_exchange)
        return result(); // one exchange per dialog
    m_ended = false;
    m_endPending = false;
    setResult(QDialog::Rejected);
    m_exchange = createExchange();
    if (!m_exchange) {
        m_ended = true;
        return QDialog::Rejected;
    }
    m_startedMs = m_clock.NowMs();
    m_runner = std::make_unique<ExchangeRunner>(*m_exchange, m_port);
    connect(m_runner.get(), &ExchangeRunner::finished, this, &LinkDialog::onFinished);
    m_runner->Start();
    if (m_ended)
        return result();
    return QDialog::exec();
}

void LinkDialog::onFinished()
{
    m_elapsedMs = m_clock.NowMs() - m_startedMs;
    if (m_confirming) {
        // Shown once the user has answered the Cancel question.
        m_endPending = true;
        return;
    }
    present();
}

void LinkDialog::present()
{
    if (m_ended)
        return;
    m_ended = true;
    m_outcome = m_exchange->Outcome();
    // A port that died is reported once, by whoever owns the connection,
    // not by every exchange it ended.
    if (!m_outcome.message.isEmpty() && !m_port.IsLost())
        m_messages.show(isVisible() ? this : parentWidget(), m_outcome.message, m_outcome.icon);
    exchangeEnded();
    done(m_outcome.ok() ? QDialog::Accepted : QDialog::Rejected);
}

void LinkDialog::cancelRequested(bool confirm)
{
    if (m_ended || m_confirming || !m_exchange)
        return;
    bool yes = true;
    if (confirm) {
        m_confirming = true;
        yes = m_messages.askYesNo(this, QString::fromLatin1(LinkMessages::CancelQuestion));
        m_confirming = false;
    }
    if (m_endPending) {
        present();
        return;
    }
    if (yes && !m_exchange->Finished())
        m_exchange->Cancel(); // finished() follows and closes the dialog
}

void LinkDialog::reject()
{
    if (m_ended || !m_exchange) {
        QDialog::reject();
        return;
    }
    if (userMayCancel())
        cancelRequested(confirmCancel());
}
