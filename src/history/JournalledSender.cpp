#include "history/JournalledSender.h"

#include "history/TuneJournal.h"

void JournalledSender::journalFirst()
{
    m_journal.Capture();
    m_journal.Sync();
}

void JournalledSender::SendRealTimeValue(TuneItem item, int index, int value)
{
    journalFirst();
    m_inner.SendRealTimeValue(item, index, value);
}

void JournalledSender::SendRealTimeVersion(const QString &text)
{
    journalFirst();
    m_inner.SendRealTimeVersion(text);
}

void JournalledSender::SendRealTimeBytes(TuneItem item, int offset, const QByteArray &data)
{
    journalFirst();
    m_inner.SendRealTimeBytes(item, offset, data);
}
