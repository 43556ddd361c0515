#include "history/HistoryRecorder.h"

#include "model/ImageFile.h"
#include "model/ProgramState.h"

#include <QDir>
#include <QTimer>

HistoryRecorder::HistoryRecorder(HistoryStore &store, const ProgramState &state, std::function<QString()> fileName,
                                 QObject *parent)
    : QObject(parent), m_store(store), m_state(state), m_fileName(std::move(fileName)),
      m_base(ImageFormat::Size, '\0')
{
    m_batch = new QTimer(this);
    m_batch->setSingleShot(true);
    m_batch->setInterval(RealTimeBatchMs);
    connect(m_batch, &QTimer::timeout, this, [this] { Record(HistoryKind::RealTimeWrites, BoxName()); });
}

void HistoryRecorder::SetBaseImage(const QByteArray &image)
{
    if (image.size() == ImageFormat::Size)
        m_base = image;
}

QByteArray HistoryRecorder::Image() const
{
    return PatchImage(m_base, m_state.tune);
}

std::optional<int> HistoryRecorder::Record(HistoryKind kind, const QString &where, const QString &note)
{
    const std::optional<int> id = m_store.Add(kind, where, m_state.tune, Image(), note);
    if (id)
        emit recorded(*id);
    else
        emit failed(m_store.Error());
    return id;
}

void HistoryRecorder::Saved()
{
    Record(HistoryKind::Save, QDir::toNativeSeparators(m_fileName()));
}

void HistoryRecorder::Transferred(bool writing, bool whole)
{
    if (!writing)
        Record(HistoryKind::BoxRead, BoxName());
    else
        Record(whole ? HistoryKind::BoxWrite : HistoryKind::BoxWriteChanges, BoxName());
}

void HistoryRecorder::RealTimeWritten()
{
    m_batch->start();
}

void HistoryRecorder::RealTimeEnded()
{
    if (!m_batch->isActive())
        return;
    m_batch->stop();
    Record(HistoryKind::RealTimeWrites, BoxName());
}

void HistoryRecorder::StockLoaded(int program, const QByteArray &image)
{
    SetBaseImage(image);
    Record(HistoryKind::StockLoad, QStringLiteral("stock program %1").arg(program));
}
