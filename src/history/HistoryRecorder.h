#pragma once

#include "history/HistoryStore.h"

#include <QObject>
#include <functional>
#include <optional>

class ProgramState;
class QTimer;

// Turns what happens to the tune into history entries: saves, whole and
// changes-only writes to the box, reads, stock programs, fuel corrections,
// and real-time writes, which are gathered into one entry per pause (a
// batch ends RealTimeBatchMs after its last write, or when real-time mode
// ends). Each entry holds the tune as it is and the box image it makes: the
// last whole image seen (a stock program) with the tune's items in it.
class HistoryRecorder : public QObject
{
    Q_OBJECT
public:
    static constexpr int RealTimeBatchMs = 5000;
    static QString BoxName() { return QStringLiteral("the Vantrelle"); }

    HistoryRecorder(HistoryStore &store, const ProgramState &state, std::function<QString()> fileName,
                    QObject *parent = nullptr);

    HistoryStore &Store() { return m_store; }
    // The box's memory around the tune, when a whole image was seen.
    void SetBaseImage(const QByteArray &image);
    // The image the tune makes now.
    QByteArray Image() const;

    std::optional<int> Record(HistoryKind kind, const QString &where, const QString &note = QString());

    void Saved();
    // A transfer to or from the box went through: whole, or only the items
    // the box did not hold.
    void Transferred(bool writing, bool whole);
    void RealTimeWritten();
    void RealTimeEnded();
    void StockLoaded(int program, const QByteArray &image);

signals:
    void recorded(int id);
    // An entry could not be written (once per failure).
    void failed(const QString &why);

private:
    HistoryStore &m_store;
    const ProgramState &m_state;
    std::function<QString()> m_fileName;
    QByteArray m_base;
    QTimer *m_batch = nullptr;
};
