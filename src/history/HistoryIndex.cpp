#include "history/HistoryIndex.h"

#include <QStringList>
#include <array>

namespace HistoryIndex {

namespace {

struct KindRow
{
    HistoryKind kind;
    const char *name;
    const char *caption;
};

constexpr std::array<KindRow, 8> Kinds{{
    {HistoryKind::Save, "save", "Saved"},
    {HistoryKind::BoxWrite, "box-write", "Written to the Vantrelle"},
    {HistoryKind::BoxWriteChanges, "box-write-changes", "Changes written to the Vantrelle"},
    {HistoryKind::RealTimeWrites, "real-time-writes", "Written in real time"},
    {HistoryKind::BoxRead, "box-read", "Read from the Vantrelle"},
    {HistoryKind::StockLoad, "stock-load", "Stock program loaded"},
    {HistoryKind::FuelCorrection, "fuel-correction", "Fuel correction applied"},
    {HistoryKind::Restore, "restore", "Restored"},
}};

const KindRow &rowOf(HistoryKind kind)
{
    for (const KindRow &r : Kinds)
        if (r.kind == kind)
            return r;
    return Kinds[0];
}

QString isoTime(const QDateTime &at)
{
    return at.toUTC().toString(Qt::ISODateWithMs);
}

std::optional<QDateTime> timeFrom(QStringView text)
{
    const QDateTime at = QDateTime::fromString(text.toString(), Qt::ISODateWithMs);
    if (!at.isValid())
        return std::nullopt;
    return at.toUTC();
}

bool isHash(QStringView text)
{
    if (text.size() != 64)
        return false;
    for (QChar c : text)
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    return true;
}

QByteArray join(const QStringList &fields)
{
    QStringList escaped;
    for (const QString &f : fields)
        escaped << Escape(f);
    return escaped.join(QLatin1Char('\t')).toUtf8() + '\n';
}

// Whole lines after the header line; a last line without its end is torn.
template <typename T, typename Read>
Parsed<T> parseLines(QByteArrayView text, QByteArrayView header, int fields, Read read)
{
    Parsed<T> parsed;
    qsizetype at = 0;
    bool first = true;
    while (at < text.size()) {
        const qsizetype end = text.indexOf('\n', at);
        if (end < 0) {
            ++parsed.skipped;
            break;
        }
        const QByteArrayView line = text.sliced(at, end - at);
        at = end + 1;
        if (first) {
            first = false;
            parsed.header = line == header;
            if (!parsed.header)
                return parsed;
            continue;
        }
        const QStringList parts = QString::fromUtf8(line).split(QLatin1Char('\t'));
        QStringList unescaped;
        for (const QString &p : parts)
            unescaped << Unescape(p);
        std::optional<T> record = parts.size() == fields ? read(unescaped) : std::nullopt;
        if (record)
            parsed.records.push_back(std::move(*record));
        else
            ++parsed.skipped;
    }
    return parsed;
}

} // namespace

QString KindName(HistoryKind kind)
{
    return QLatin1String(rowOf(kind).name);
}

QString KindCaption(HistoryKind kind)
{
    return QLatin1String(rowOf(kind).caption);
}

std::optional<HistoryKind> KindFromName(QStringView name)
{
    for (const KindRow &r : Kinds)
        if (name == QLatin1String(r.name))
            return r.kind;
    return std::nullopt;
}

QString Escape(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString Unescape(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += next == QLatin1Char('t') ? QLatin1Char('\t')
             : next == QLatin1Char('n') ? QLatin1Char('\n')
             : next == QLatin1Char('r') ? QLatin1Char('\r')
                                        : next;
    }
    return out;
}

QByteArray IndexHeader()
{
    return QByteArrayLiteral("VNTH 1\n");
}

QByteArray CorrectionsHeader()
{
    return QByteArrayLiteral("VNTC 1\n");
}

QByteArray Line(const HistoryEntry &e)
{
    return join({QString::number(e.id), isoTime(e.at), KindName(e.kind), e.where, e.hash, e.note});
}

QByteArray Line(const CorrectionRecord &r)
{
    return join({isoTime(r.at), r.logKey, r.logPath, QString::number(r.logSize), r.logHash,
                 QLatin1String(CatalogueEntry(r.map).keyText), QString::number(r.entry), QString::number(r.rows),
                 QString::number(r.historyId)});
}

Parsed<HistoryEntry> ParseIndex(QByteArrayView text)
{
    return parseLines<HistoryEntry>(text, "VNTH 1", 6, [](const QStringList &f) -> std::optional<HistoryEntry> {
        bool idOk = false;
        HistoryEntry e;
        e.id = f[0].toInt(&idOk);
        const std::optional<QDateTime> at = timeFrom(f[1]);
        const std::optional<HistoryKind> kind = KindFromName(f[2]);
        if (!idOk || e.id <= 0 || !at || !kind || !isHash(f[4]))
            return std::nullopt;
        e.at = *at;
        e.kind = *kind;
        e.where = f[3];
        e.hash = f[4];
        e.note = f[5];
        return e;
    });
}

Parsed<CorrectionRecord> ParseCorrections(QByteArrayView text)
{
    return parseLines<CorrectionRecord>(text, "VNTC 1", 9, [](const QStringList &f) -> std::optional<CorrectionRecord> {
        CorrectionRecord r;
        bool sizeOk = false, entryOk = false, rowsOk = false, idOk = false;
        const std::optional<QDateTime> at = timeFrom(f[0]);
        const std::optional<MapKey> map = MapKeyFromText(f[5]);
        r.logSize = f[3].toLongLong(&sizeOk);
        r.entry = f[6].toInt(&entryOk);
        r.rows = f[7].toLongLong(&rowsOk);
        r.historyId = f[8].toInt(&idOk);
        if (!at || !map || !IsFuelMap(*map) || !sizeOk || !entryOk || r.entry < 0 || r.entry > 255 || !rowsOk ||
            r.rows < 0 || !idOk || (!f[4].isEmpty() && !isHash(f[4])))
            return std::nullopt;
        r.at = *at;
        r.logKey = f[1];
        r.logPath = f[2];
        r.logHash = f[4];
        r.map = *map;
        return r;
    });
}

} // namespace HistoryIndex
