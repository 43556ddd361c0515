#pragma once

#include "daq/CVDataAcquisition.h"

#include <QObject>
#include <QThread>

// The one thread that makes the unit's calls while real-time mode runs. A
// LabJack U12 takes up to about 20 ms a call and a tick makes up to three;
// made here, they never hold up the window. Everything the tick decides
// from the answers stays on the thread that owns this object: Start hands
// the device calls of one planned cycle to the acquisition thread, and
// cycleDone brings the cycle back, answered, on the owner's thread.
//
// One cycle at a time: the owner asks Busy() before it plans the next one
// and skips the tick when the unit is still answering the last.
class AcquisitionThread : public QObject
{
    Q_OBJECT
public:
    explicit AcquisitionThread(CVDataAcquisition &daq, QObject *parent = nullptr);
    // Waits for a call in flight: the driver must outlive its last call.
    ~AcquisitionThread() override;
    AcquisitionThread(const AcquisitionThread &) = delete;
    AcquisitionThread &operator=(const AcquisitionThread &) = delete;

    bool Busy() const { return m_busy; }
    // Runs cycle's device calls on the acquisition thread; not while Busy().
    void Start(CVDataAcquisition::Cycle cycle);

signals:
    // On the owner's thread, once the device has answered Start's cycle.
    void cycleDone(CVDataAcquisition::Cycle &cycle);

private:
    CVDataAcquisition &m_daq;
    QThread m_thread;
    QObject m_worker; // lives on m_thread: the context the calls run in
    bool m_busy = false;
};
