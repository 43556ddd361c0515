#pragma once

#include "link/LinkClock.h"
#include "link/LinkOutcome.h"
#include "platform/SerialPort.h"

#include <QObject>
#include <QString>

// One exchange with the box, from its first request to its end, as a state
// machine without widgets or timers of its own: whoever runs it (a dialog, the
// command-line tool, a test) calls Start() once, then Tick() on every timer
// tick and DataArrived() whenever the port has new bytes, until Finished().
// Time comes from the clock it is given.
class LinkExchange : public QObject
{
    Q_OBJECT
public:
    LinkExchange(LinkPort &port, const LinkClock &clock, QObject *parent = nullptr);

    // Sends the first request (or, for the handshake, opens the port). The
    // exchange may be finished when this returns.
    virtual void Start() = 0;
    virtual void Tick() = 0;
    virtual void DataArrived() {}
    // Ends the exchange at once with a Cancelled outcome.
    virtual void Cancel();
    // Ends the exchange at once because its port has died (LinkPort::lost).
    void PortLost();
    // The timer period the exchange wants its ticks at.
    virtual int TickIntervalMs() const { return 1; }

    bool Finished() const { return m_finished; }
    const LinkOutcome &Outcome() const { return m_outcome; }

    // What the dialogs show while it runs.
    int Progress() const { return m_progress; }
    int ProgressMaximum() const { return m_progressMaximum; }
    QString StatusText() const { return m_statusText; }
    QString ItemText() const { return m_itemText; }

signals:
    void progressChanged(int value);
    void itemTextChanged(const QString &text);
    void finished();

protected:
    qint64 now() const { return m_clock.NowMs(); }
    void setProgress(int value);
    void setProgressMaximum(int value) { m_progressMaximum = value; }
    void setStatusText(const QString &text) { m_statusText = text; }
    void setItemText(const QString &text);
    void finish(const LinkOutcome &outcome);
    // Called once, just before the exchange ends, with the outcome it ends
    // with; may replace it (a file that cannot be finished, say).
    virtual void finishing(LinkOutcome &outcome) { Q_UNUSED(outcome); }
    // Drops stale input, then sends. On failure finishes with the port's
    // description and returns false.
    bool sendRequest(const QByteArray &frame);

    LinkPort &m_port;
    const LinkClock &m_clock;

private:
    bool m_finished = false;
    LinkOutcome m_outcome;
    int m_progress = 0;
    int m_progressMaximum = 100;
    QString m_statusText;
    QString m_itemText;
};
