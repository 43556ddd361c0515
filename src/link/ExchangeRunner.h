#pragma once

#include "link/LinkExchange.h"

#include <QObject>
#include <QTimer>

// Runs an exchange from the event loop: Start(), then a precise timer for its
// ticks and the port's data notifications, so a reply is judged the moment
// its last byte arrives instead of waiting for the next tick.
class ExchangeRunner : public QObject
{
    Q_OBJECT
public:
    ExchangeRunner(LinkExchange &exchange, LinkPort &port, QObject *parent = nullptr);

    // Starts the exchange; finished() follows (possibly at once) when it ends.
    void Start();
    bool Running() const { return m_running; }

signals:
    void finished();

private:
    void onTick();
    void onData();
    void onExchangeFinished();

    LinkExchange &m_exchange;
    LinkPort &m_port;
    QTimer m_timer;
    QMetaObject::Connection m_dataConnection;
    QMetaObject::Connection m_lostConnection;
    bool m_running = false;
};

// Runs an exchange to its end in a local event loop and returns its outcome.
LinkOutcome RunExchange(LinkExchange &exchange, LinkPort &port);
