#pragma once

#include "link/RealTimeSender.h"

class TuneJournal;

// Whatever goes to the box in real time is in the journal, on disk, first:
// a run killed while the write is on its way is taken up again with the
// value the box may already run.
class JournalledSender : public RealTimeSender
{
public:
    JournalledSender(RealTimeSender &inner, TuneJournal &journal) : m_inner(inner), m_journal(journal) {}

    void SendRealTimeValue(TuneItem item, int index, int value) override;
    void SendRealTimeVersion(const QString &text) override;
    void SendRealTimeBytes(TuneItem item, int offset, const QByteArray &data) override;

private:
    void journalFirst();

    RealTimeSender &m_inner;
    TuneJournal &m_journal;
};
