#include "link/ExchangeRunner.h"

#include <QEventLoop>

ExchangeRunner::ExchangeRunner(LinkExchange &exchange, LinkPort &port, QObject *parent)
    : QObject(parent), m_exchange(exchange), m_port(port)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ExchangeRunner::onTick);
    connect(&m_exchange, &LinkExchange::finished, this, &ExchangeRunner::onExchangeFinished);
}

void ExchangeRunner::Start()
{
    if (m_running)
        return;
    m_running = true;
    m_dataConnection = connect(&m_port, &LinkPort::readyRead, this, &ExchangeRunner::onData);
    // A dead port answers nothing: end at once rather than at the time-out.
    m_lostConnection = connect(&m_port, &LinkPort::lost, this, [this] {
        if (m_running)
            m_exchange.PortLost();
    });
    m_timer.setInterval(m_exchange.TickIntervalMs());
    m_exchange.Start();
    if (m_exchange.Finished()) {
        if (m_running)
            onExchangeFinished();
        return;
    }
    m_timer.start();
}

void ExchangeRunner::onTick()
{
    if (m_running)
        m_exchange.Tick();
}

void ExchangeRunner::onData()
{
    if (m_running)
        m_exchange.DataArrived();
}

void ExchangeRunner::onExchangeFinished()
{
    if (!m_running)
        return;
    m_running = false;
    m_timer.stop();
    disconnect(m_dataConnection);
    disconnect(m_lostConnection);
    emit finished();
}

LinkOutcome RunExchange(LinkExchange &exchange, LinkPort &port)
{
    ExchangeRunner runner(exchange, port);
    QEventLoop loop;
    QObject::connect(&runner, &ExchangeRunner::finished, &loop, &QEventLoop::quit);
    runner.Start();
    if (runner.Running())
        loop.exec();
    return exchange.Outcome();
}
