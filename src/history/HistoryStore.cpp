#include "history/HistoryStore.h"

#include "history/HistoryObjects.h"
#include "model/ImageFile.h"
#include "model/ProjectFile.h"
#include "platform/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

constexpr int BlobSize = ProjectFormat::Size + ImageFormat::Size;
constexpr qint64 MaxListBytes = 64 << 20;
const QString IndexFile = QStringLiteral("index.tsv");
const QString CorrectionsFile = QStringLiteral("corrections.tsv");

QByteArray readList(const QString &path)
{
    QByteArray bytes;
    if (QFileInfo::exists(path))
        ReadFileHead(path, MaxListBytes, bytes);
    return bytes;
}

} // namespace

HistoryStore::HistoryStore(const QString &folder) : m_folder(folder) {}

QString HistoryStore::DefaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).filePath(QStringLiteral("history"));
}

QString HistoryStore::objectsFolder() const
{
    return QDir(m_folder).filePath(QStringLiteral("objects"));
}

void HistoryStore::Load()
{
    const auto index = HistoryIndex::ParseIndex(readList(QDir(m_folder).filePath(IndexFile)));
    const auto corrections = HistoryIndex::ParseCorrections(readList(QDir(m_folder).filePath(CorrectionsFile)));
    m_entries = index.records;
    m_corrections = corrections.records;
    m_skipped = index.skipped + corrections.skipped;
    m_lastHash.clear();
    m_lastBlob.clear();
    if (!m_entries.empty()) {
        // The next snapshot is stored as a change from the last one.
        const QString last = m_entries.back().hash;
        QByteArray object;
        if (ReadFileHead(HistoryObjects::PathOf(objectsFolder(), last), HistoryObjects::MaxObjectBytes, object)) {
            const HistoryObjects::Decoded d = HistoryObjects::Decode(object, BlobSize);
            if (const std::optional<QByteArray> b = blob(last); d.ok && b) {
                m_lastHash = last;
                m_lastBlob = *b;
                m_lastDepth = d.depth;
            }
        }
    }
}

const HistoryEntry *HistoryStore::Entry(int id) const
{
    for (const HistoryEntry &e : m_entries)
        if (e.id == id)
            return &e;
    return nullptr;
}

std::optional<int> HistoryStore::Add(HistoryKind kind, const QString &where, const Tune &tune, const QByteArray &image,
                                     const QString &note)
{
    m_error.clear();
    QByteArray blob = EncodeProject(tune) + image.left(ImageFormat::Size);
    blob.resize(BlobSize, '\0');
    const QString hash = HistoryObjects::HashOf(blob);
    const QString path = HistoryObjects::PathOf(objectsFolder(), hash);
    if (!QFileInfo::exists(path)) {
        const bool change = !m_lastHash.isEmpty();
        const QByteArray object =
            HistoryObjects::Encode(blob, change ? &m_lastBlob : nullptr, m_lastHash, change ? m_lastDepth : 0);
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
            m_error = QStringLiteral("The folder %1 could not be created.").arg(QFileInfo(path).absolutePath());
            return std::nullopt;
        }
        if (const FileOutcome written = WriteFileAtomically(path, object); !written) {
            m_error = written.error;
            return std::nullopt;
        }
        m_lastHash = hash;
        m_lastBlob = blob;
        m_lastDepth = HistoryObjects::Decode(object, BlobSize).depth;
    }
    HistoryEntry entry;
    entry.id = m_entries.empty() ? 1 : m_entries.back().id + 1;
    entry.at = QDateTime::currentDateTimeUtc();
    entry.kind = kind;
    entry.where = where;
    entry.hash = hash;
    entry.note = note;
    if (!appendLine(QDir(m_folder).filePath(IndexFile), HistoryIndex::IndexHeader(), HistoryIndex::Line(entry)))
        return std::nullopt;
    m_entries.push_back(entry);
    return entry.id;
}

bool HistoryStore::SetNote(int id, const QString &note)
{
    QByteArray text = HistoryIndex::IndexHeader();
    bool found = false;
    std::vector<HistoryEntry> entries = m_entries;
    for (HistoryEntry &e : entries) {
        if (e.id == id) {
            e.note = note;
            found = true;
        }
        text += HistoryIndex::Line(e);
    }
    if (!found)
        return false;
    if (const FileOutcome written = WriteFileAtomically(QDir(m_folder).filePath(IndexFile), text); !written) {
        m_error = written.error;
        return false;
    }
    m_entries = std::move(entries);
    return true;
}

bool HistoryStore::AddCorrections(const std::vector<CorrectionRecord> &records)
{
    QByteArray lines;
    for (const CorrectionRecord &r : records)
        lines += HistoryIndex::Line(r);
    if (lines.isEmpty())
        return true;
    if (!appendLine(QDir(m_folder).filePath(CorrectionsFile), HistoryIndex::CorrectionsHeader(), lines))
        return false;
    m_corrections.insert(m_corrections.end(), records.begin(), records.end());
    return true;
}

bool HistoryStore::appendLine(const QString &path, const QByteArray &header, const QByteArray &line)
{
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("The folder %1 could not be created.").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    if (const FileOutcome usable = CheckOutputFile(path); !usable) {
        m_error = usable.error;
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::Append)) {
        m_error = QStringLiteral("%1 could not be opened: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = (file.size() == 0 ? header : QByteArray()) + line;
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        m_error = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

std::optional<QByteArray> HistoryStore::blob(const QString &hash, int depth) const
{
    if (depth > HistoryObjects::MaxDepth)
        return std::nullopt;
    QByteArray object;
    if (!ReadFileHead(HistoryObjects::PathOf(objectsFolder(), hash), HistoryObjects::MaxObjectBytes, object))
        return std::nullopt;
    HistoryObjects::Decoded d = HistoryObjects::Decode(object, BlobSize);
    if (!d.ok)
        return std::nullopt;
    if (d.change) {
        const std::optional<QByteArray> parent = blob(d.parentHash, depth + 1);
        if (!parent)
            return std::nullopt;
        for (qsizetype i = 0; i < d.payload.size(); ++i)
            d.payload[i] = static_cast<char>(d.payload[i] ^ (*parent)[i]);
    }
    // A blob is known by its hash: anything else is damage.
    if (HistoryObjects::HashOf(d.payload) != hash)
        return std::nullopt;
    return d.payload;
}

std::optional<HistoryStore::Snapshot> HistoryStore::SnapshotOf(int id) const
{
    const HistoryEntry *entry = Entry(id);
    if (!entry)
        return std::nullopt;
    const std::optional<QByteArray> b = blob(entry->hash);
    if (!b)
        return std::nullopt;
    Snapshot s;
    DecodeProject(b->left(ProjectFormat::Size), s.tune);
    s.image = b->mid(ProjectFormat::Size);
    return s;
}
