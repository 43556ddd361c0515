#include "analysis/DataLog.h"

#include "analysis/LogDates.h"

#include "platform/FileIO.h"

#include <QFile>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

constexpr float Gap = std::numeric_limits<float>::quiet_NaN();
constexpr qint64 ChunkSize = 1 << 20;

void trim(const char *&b, const char *&e)
{
    while (b < e && (*b == ' ' || *b == '\t' || *b == '\r'))
        ++b;
    while (e > b && (e[-1] == ' ' || e[-1] == '\t' || e[-1] == '\r'))
        --e;
    if (e - b >= 2 && *b == '"' && e[-1] == '"') {
        ++b;
        --e;
    }
}

class Parser
{
public:
    explicit Parser(DataLogReport &report) : m_report(report) {}

    // Feeds complete lines; returns the bytes consumed (a partial last line
    // is left for the next call).
    qsizetype feed(const char *data, qsizetype size, bool atEnd)
    {
        const char *p = data;
        const char *end = data + size;
        while (p < end) {
            const char *nl = static_cast<const char *>(memchr(p, '\n', static_cast<size_t>(end - p)));
            if (m_skipping) {
                // The rest of an overlong line.
                if (!nl)
                    return size;
                m_skipping = false;
                p = nl + 1;
                continue;
            }
            if (!nl) {
                if (end - p > DataLogLimits::MaxLineBytes) {
                    ++m_report.overlongLines;
                    m_skipping = true;
                    return size;
                }
                if (atEnd && !m_stopped && hasText(p, end))
                    m_report.truncatedLastLine = true;
                return atEnd ? size : p - data;
            }
            if (nl - p > DataLogLimits::MaxLineBytes) {
                ++m_report.overlongLines;
            } else if (m_stopped) {
                return size;
            } else {
                line(p, nl);
            }
            p = nl + 1;
        }
        return size;
    }

    bool stopped() const { return m_stopped; }

    // Room for the lines a file of `fileBytes` holds, judged from the lines
    // read from its first `readBytes`: vectors left to grow by doubling
    // hold up to twice the log, and more while they copy.
    void reserveFor(qint64 fileBytes, qint64 readBytes)
    {
        const std::size_t rows = m_log.time.size();
        if (rows < 16 || readBytes <= 0 || fileBytes <= readBytes)
            return;
        const auto columns = static_cast<std::size_t>(std::max<qsizetype>(1, m_log.names.size()));
        const auto estimate = static_cast<std::size_t>(static_cast<double>(fileBytes) / static_cast<double>(readBytes)
                                                       * static_cast<double>(rows) * 1.02)
                              + 16;
        const std::size_t wanted =
            std::min(estimate, static_cast<std::size_t>(DataLogLimits::MaxValues) / columns + 1);
        m_log.time.reserve(wanted);
        for (auto &c : m_log.columns)
            c.reserve(wanted);
    }

    DataLog take() { return std::move(m_log); }
    bool headerSeen() const { return m_headerSeen; }

    void finish()
    {
        if (!m_anyDate && !m_log.time.empty()) {
            m_log.timeIsSampleNumber = true;
            for (std::size_t i = 0; i < m_log.time.size(); ++i)
                m_log.time[i] = static_cast<double>(i);
            m_report.undatedLines = 0;
        }
        m_report.lines = m_log.time.size();
        // Room reserved from a good estimate is left (its pages were never
        // touched); a vector that grew by doubling gives its half back.
        const auto giveBack = [](auto &v) {
            if (v.capacity() - v.size() > v.size() / 8)
                v.shrink_to_fit();
        };
        giveBack(m_log.time);
        for (auto &c : m_log.columns)
            giveBack(c);
    }

private:
    static bool hasText(const char *b, const char *e)
    {
        for (; b < e; ++b)
            if (*b != ' ' && *b != '\r' && *b != '\t')
                return true;
        return false;
    }

    void line(const char *b, const char *e)
    {
        if (e > b && e[-1] == '\r')
            --e;
        if (!m_headerSeen) {
            // A spreadsheet's byte-order mark.
            if (e - b >= 3 && static_cast<unsigned char>(b[0]) == 0xEF && static_cast<unsigned char>(b[1]) == 0xBB
                && static_cast<unsigned char>(b[2]) == 0xBF)
                b += 3;
            if (!hasText(b, e))
                return;
            header(b, e);
            return;
        }
        if (!hasText(b, e))
            return;
        data(b, e);
    }

    void header(const char *b, const char *e)
    {
        m_headerSeen = true;
        m_sep = memchr(b, '\t', static_cast<size_t>(e - b)) ? '\t' : ',';
        m_report.separator = QLatin1Char(m_sep);
        int field = 0;
        const char *p = b;
        while (true) {
            const char *q = static_cast<const char *>(memchr(p, m_sep, static_cast<size_t>(e - p)));
            const char *fe = q ? q : e;
            const char *fb = p;
            trim(fb, fe);
            QString name = QString::fromUtf8(fb, fe - fb);
            if (m_timeField < 0 && name.compare(QLatin1String("DATE/TIME"), Qt::CaseInsensitive) == 0) {
                m_timeField = field;
            } else if (m_log.names.size() >= DataLogLimits::MaxColumns) {
                ++m_report.ignoredColumns;
                m_fieldToColumn.push_back(-2); // not read
            } else {
                if (name.isEmpty())
                    name = QStringLiteral("Column %1").arg(field + 1);
                m_log.names << name;
                m_fieldToColumn.push_back(static_cast<int>(m_log.names.size()) - 1);
            }
            if (m_timeField == field)
                m_fieldToColumn.push_back(-1);
            ++field;
            if (!q)
                break;
            p = q + 1;
        }
        m_log.columns.resize(static_cast<std::size_t>(m_log.names.size()));
        m_fields = field;
    }

    // The lines of one second share their date text (forty of them at the
    // logger's rate, all of a second's when a spreadsheet wrote whole
    // seconds): the text read last is remembered with what it meant.
    bool dateOf(const char *b, const char *e, long long &ms)
    {
        const auto n = static_cast<std::size_t>(e - b);
        if (n == m_lastDate.size() && std::memcmp(b, m_lastDate.data(), n) == 0) {
            ms = m_lastDateMs;
            return m_lastDated;
        }
        m_lastDate.assign(b, n);
        m_lastDated = DataLogText::ParseLoggerDate(b, e, ms) || m_fallback.parse(b, e, ms);
        m_lastDateMs = ms;
        return m_lastDated;
    }

    void data(const char *b, const char *e)
    {
        const std::size_t row = m_log.time.size();
        if (static_cast<long long>(row + 1) * std::max<long long>(1, m_log.names.size()) > DataLogLimits::MaxValues) {
            m_stopped = true;
            m_report.stoppedAtLimit = true;
            return;
        }
        for (auto &c : m_log.columns)
            c.push_back(Gap);
        long long ms = 0;
        bool dated = false;
        int field = 0;
        const char *p = b;
        while (true) {
            const char *q = static_cast<const char *>(memchr(p, m_sep, static_cast<size_t>(e - p)));
            const char *fe = q ? q : e;
            if (field < m_fields) {
                const char *fb = p;
                trim(fb, fe);
                const int column = m_fieldToColumn[static_cast<std::size_t>(field)];
                if (column == -2) {
                    // a column beyond the limit
                } else if (column < 0) {
                    dated = dateOf(fb, fe, ms);
                    if (dated && m_log.startText.isEmpty())
                        m_log.startText = QString::fromLatin1(fb, fe - fb);
                } else if (fb < fe) {
                    float v = 0;
                    if (*fb == '+')
                        ++fb;
                    const auto r = std::from_chars(fb, fe, v);
                    if (r.ec == std::errc() && r.ptr == fe && std::isfinite(v))
                        m_log.columns[static_cast<std::size_t>(column)][row] = v;
                    else
                        ++m_report.badFields;
                }
            }
            ++field;
            if (!q)
                break;
            p = q + 1;
        }
        if (field < m_fields)
            ++m_report.shortLines;
        else if (field > m_fields)
            ++m_report.longLines;

        double t = 0;
        if (m_timeField >= 0 && dated) {
            if (!m_anyDate) {
                m_anyDate = true;
                m_firstMs = ms;
            }
            t = static_cast<double>(ms - m_firstMs) / 1000.0;
        } else if (m_timeField >= 0) {
            ++m_report.undatedLines;
        }
        if (row > 0) {
            const double previous = m_log.time.back();
            if (!dated || m_timeField < 0) {
                t = previous;
            } else if (t < previous) {
                ++m_report.clockSteps;
                t = previous;
            }
        }
        m_log.time.push_back(t);
    }

    DataLogReport &m_report;
    DataLog m_log;
    bool m_headerSeen = false;
    bool m_skipping = false;
    bool m_stopped = false;
    char m_sep = ',';
    int m_fields = 0;
    int m_timeField = -1;
    std::vector<int> m_fieldToColumn;
    bool m_anyDate = false;
    long long m_firstMs = 0;
    FallbackDates m_fallback;
    std::string m_lastDate;
    long long m_lastDateMs = 0;
    bool m_lastDated = false;
};

DataLog finishLoad(Parser &parser, DataLogReport &report)
{
    parser.finish();
    if (!parser.headerSeen()) {
        report.ok = false;
        report.error = QStringLiteral("The file holds no header line.");
        return {};
    }
    report.ok = true;
    return parser.take();
}

} // namespace

DataLog ReadDataLog(const QString &path, DataLogReport *reportOut, DataLogProgress *progress)
{
    DataLogReport local;
    DataLogReport &report = reportOut ? *reportOut : local;
    report = DataLogReport{};
    if (const FileOutcome readable = CheckReadableFile(path); !readable) {
        report.error = readable.error;
        return {};
    }
    QFile file(path);
    // Read-only and shared: the logger keeps appending to the running log.
    if (!file.open(QIODevice::ReadOnly)) {
        report.error = file.errorString();
        return {};
    }
    Parser parser(report);
    QByteArray buffer;
    buffer.reserve(ChunkSize * 2);
    qint64 total = 0;
    while (true) {
        if (progress && progress->cancel.load()) {
            report.cancelled = true;
            report.error = QStringLiteral("Reading was cancelled.");
            return {};
        }
        const qsizetype kept = buffer.size();
        buffer.resize(kept + ChunkSize);
        const qint64 got = file.read(buffer.data() + kept, ChunkSize);
        if (got < 0) {
            report.error = file.errorString();
            return {};
        }
        buffer.resize(kept + got);
        total += got;
        if (progress)
            progress->bytesRead.store(total);
        const bool atEnd = got == 0 || parser.stopped();
        const qsizetype used = parser.feed(buffer.constData(), buffer.size(), atEnd);
        buffer.remove(0, used);
        if (total == got)
            parser.reserveFor(file.size(), used);
        if (atEnd)
            break;
    }
    return finishLoad(parser, report);
}

DataLog ParseDataLog(const QByteArray &text, DataLogReport *reportOut)
{
    DataLogReport local;
    DataLogReport &report = reportOut ? *reportOut : local;
    report = DataLogReport{};
    Parser parser(report);
    parser.feed(text.constData(), text.size(), true);
    return finishLoad(parser, report);
}
