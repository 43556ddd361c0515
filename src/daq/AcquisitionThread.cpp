#include "daq/AcquisitionThread.h"

AcquisitionThread::AcquisitionThread(CVDataAcquisition &daq, QObject *parent) : QObject(parent), m_daq(daq)
{
    m_thread.setObjectName(QStringLiteral("acquisition"));
    m_worker.moveToThread(&m_thread);
    m_thread.start();
}

AcquisitionThread::~AcquisitionThread()
{
    m_thread.quit();
    m_thread.wait();
}

void AcquisitionThread::Start(CVDataAcquisition::Cycle cycle)
{
    if (m_busy)
        return;
    m_busy = true;
    QMetaObject::invokeMethod(
        &m_worker,
        [this, cycle = std::move(cycle)]() mutable {
            m_daq.CallDevice(cycle);
            // Back to the owner's thread; dropped with this object if it is
            // gone by then.
            QMetaObject::invokeMethod(
                this,
                [this, cycle = std::move(cycle)]() mutable {
                    m_busy = false;
                    emit cycleDone(cycle);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}
