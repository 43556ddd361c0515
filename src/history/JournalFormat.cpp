#include "history/JournalFormat.h"

#include "platform/Checksums.h"

#include <QtEndian>
#include <algorithm>
#include <vector>

namespace JournalFormat {

namespace {

constexpr char Magic[4] = {'V', 'N', 'T', 'J'};
constexpr quint8 FormatVersion = 1;
constexpr quint8 StateRecord = 1;
constexpr quint8 Modified = 1, NotSent = 2, HasName = 4;
// Changed bytes this close together go out as one run.
constexpr int RunGap = 8;

template <typename T> void put(QByteArray &out, T value)
{
    const T le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&le), sizeof le);
}

// Reads little-endian numbers and byte strings from a body, never past its end.
class Cursor
{
public:
    explicit Cursor(QByteArrayView bytes) : m_bytes(bytes) {}
    template <typename T> bool take(T &value)
    {
        if (m_bytes.size() - m_at < qsizetype(sizeof(T)))
            return false;
        value = qFromLittleEndian<T>(m_bytes.data() + m_at);
        m_at += sizeof(T);
        return true;
    }
    bool take(qsizetype n, QByteArrayView &out)
    {
        if (n < 0 || m_bytes.size() - m_at < n)
            return false;
        out = m_bytes.sliced(m_at, n);
        m_at += n;
        return true;
    }
    bool atEnd() const { return m_at == m_bytes.size(); }

private:
    QByteArrayView m_bytes;
    qsizetype m_at = 0;
};

struct Run
{
    int offset;
    QByteArray bytes;
};

std::vector<Run> changedRuns(const QByteArray &from, const QByteArray &to)
{
    if (from.size() != to.size())
        return {{0, to}};
    std::vector<Run> runs;
    int i = 0;
    while (i < to.size()) {
        if (from[i] == to[i]) {
            ++i;
            continue;
        }
        int end = i + 1, lastDiff = i;
        while (end < to.size() && end - lastDiff <= RunGap) {
            if (from[end] != to[end])
                lastDiff = end;
            ++end;
        }
        runs.push_back({i, to.mid(i, lastDiff + 1 - i)});
        i = lastDiff + 1;
    }
    return runs;
}

// Applies one body to the state; false when it is not a sound record (the
// state may then be half changed: the caller keeps its own copy).
bool apply(QByteArrayView body, State &state, bool first, int projectSize)
{
    Cursor in(body);
    quint8 type = 0, flags = 0;
    qint64 ms = 0;
    quint16 runs = 0;
    if (!in.take(type) || type != StateRecord || !in.take(ms) || !in.take(flags))
        return false;
    if (flags & HasName) {
        quint16 length = 0;
        QByteArrayView name;
        if (!in.take(length) || length > MaxNameBytes || !in.take(length, name))
            return false;
        state.fileName = QString::fromUtf8(name);
    } else if (first) {
        return false;
    }
    if (!in.take(runs))
        return false;
    if (first)
        state.project = QByteArray(projectSize, '\0');
    bool whole = false;
    for (int r = 0; r < runs; ++r) {
        quint16 offset = 0, length = 0;
        QByteArrayView bytes;
        if (!in.take(offset) || !in.take(length) || length == 0 || offset + length > projectSize ||
            !in.take(length, bytes))
            return false;
        state.project.replace(offset, length, bytes.toByteArray());
        whole = whole || (offset == 0 && length == projectSize);
    }
    if ((first && !whole) || !in.atEnd())
        return false;
    state.modified = flags & Modified;
    state.notSent = flags & NotSent;
    state.at = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    return true;
}

} // namespace

bool State::sameAs(const State &other) const
{
    return project == other.project && fileName == other.fileName && modified == other.modified &&
           notSent == other.notSent;
}

QByteArray Header()
{
    QByteArray h(Magic, 4);
    h.append(static_cast<char>(FormatVersion));
    h.append(3, '\0');
    return h;
}

QByteArray Record(const State *from, const State &to)
{
    const bool name = !from || from->fileName != to.fileName;
    const QByteArray nameBytes = to.fileName.toUtf8().left(MaxNameBytes);
    QByteArray body;
    put<quint8>(body, StateRecord);
    put<qint64>(body, to.at.toMSecsSinceEpoch());
    put<quint8>(body, quint8((to.modified ? Modified : 0) | (to.notSent ? NotSent : 0) | (name ? HasName : 0)));
    if (name) {
        put<quint16>(body, quint16(nameBytes.size()));
        body.append(nameBytes);
    }
    const std::vector<Run> runs = from ? changedRuns(from->project, to.project) : std::vector<Run>{{0, to.project}};
    put<quint16>(body, quint16(runs.size()));
    for (const Run &run : runs) {
        put<quint16>(body, quint16(run.offset));
        put<quint16>(body, quint16(run.bytes.size()));
        body.append(run.bytes);
    }
    QByteArray record;
    put<quint32>(record, quint32(body.size()));
    record.append(body);
    put<quint32>(record, Crc32(body));
    return record;
}

Replay Read(QByteArrayView bytes, int projectSize)
{
    Replay replay;
    if (bytes.size() < HeaderSize || bytes.first(HeaderSize) != QByteArrayView(Header())) {
        replay.error = QStringLiteral("not a Vantrelle journal");
        return replay;
    }
    qsizetype at = HeaderSize;
    State state;
    while (bytes.size() - at >= 4) {
        const quint32 length = qFromLittleEndian<quint32>(bytes.data() + at);
        if (length > MaxBody || bytes.size() - at - 4 < qsizetype(length) + 4)
            break;
        const QByteArrayView body = bytes.sliced(at + 4, length);
        if (qFromLittleEndian<quint32>(bytes.data() + at + 4 + length) != Crc32(body))
            break;
        State next = state;
        if (!apply(body, next, replay.records == 0, projectSize))
            break;
        state = std::move(next);
        ++replay.records;
        at += 4 + qsizetype(length) + 4;
    }
    replay.goodBytes = at;
    replay.cutShort = at < bytes.size();
    replay.ok = replay.records > 0;
    if (replay.ok)
        replay.state = std::move(state);
    else
        replay.error = QStringLiteral("the journal holds no whole record");
    return replay;
}

} // namespace JournalFormat
