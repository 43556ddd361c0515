#include "analysis/LogDates.h"

#include <QDateTime>
#include <QString>

#include <cstddef>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digits(const char *p, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i)
        v = v * 10 + (p[i] - '0');
    return v;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

} // namespace

namespace DataLogText {

bool ParseLoggerDate(const char *b, const char *e, long long &msOut)
{
    // yyyy-MM-dd HH:mm:ss[.z[z[z]]]
    const std::ptrdiff_t n = e - b;
    if (n < 19 || n > 23)
        return false;
    static constexpr int digitAt[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    for (int i : digitAt)
        if (!isDigit(b[i]))
            return false;
    if (b[4] != '-' || b[7] != '-' || (b[10] != ' ' && b[10] != 'T') || b[13] != ':' || b[16] != ':')
        return false;
    int ms = 0;
    if (n > 19) {
        if (b[19] != '.' || n == 20)
            return false;
        for (std::ptrdiff_t i = 20; i < n; ++i)
            if (!isDigit(b[i]))
                return false;
        ms = digits(b + 20, static_cast<int>(n - 20));
        for (std::ptrdiff_t i = n - 20; i < 3; ++i)
            ms *= 10;
    }
    const int year = digits(b, 4);
    const int month = digits(b + 5, 2);
    const int day = digits(b + 8, 2);
    const int hour = digits(b + 11, 2);
    const int minute = digits(b + 14, 2);
    const int second = digits(b + 17, 2);
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return false;
    msOut = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400000LL
            + ((hour * 60LL + minute) * 60 + second) * 1000 + ms;
    return true;
}

} // namespace DataLogText

bool FallbackDates::parse(const char *b, const char *e, long long &ms)
{
    const QString text = QString::fromLatin1(b, e - b).trimmed();
    if (text.isEmpty())
        return false;
    static const char *const forms[] = {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss.zzz", "yyyy-MM-ddTHH:mm:ss",
                                        "M/d/yyyy h:mm:ss AP", "M/d/yyyy H:mm:ss", "d.M.yyyy H:mm:ss",
                                        "d/M/yyyy H:mm:ss", "yyyy/MM/dd HH:mm:ss"};
    constexpr int count = static_cast<int>(sizeof(forms) / sizeof(forms[0]));
    for (int k = 0; k < count; ++k) {
        const int i = (m_last + k) % count;
        const QDateTime dt = QDateTime::fromString(text, QLatin1String(forms[i]));
        if (dt.isValid()) {
            m_last = i;
            const QDate d = dt.date();
            const QTime t = dt.time();
            ms = daysFromCivil(d.year(), static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()))
                     * 86400000LL
                 + t.msecsSinceStartOfDay();
            return true;
        }
    }
    return false;
}
