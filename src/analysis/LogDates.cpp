#include "analysis/LogDates.h"

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

namespace {

bool leapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : days[m - 1];
}

// Reads between `least` and `most` digits at p; false when fewer are there.
bool number(const char *&p, const char *e, int least, int most, int &out)
{
    int n = 0;
    out = 0;
    while (n < most && p < e && isDigit(*p)) {
        out = out * 10 + (*p++ - '0');
        ++n;
    }
    return n >= least;
}

// Reads text in one of the forms below without QDateTime: its parser looks up
// the time zone on every call (a file system walk), which made a million
// regional dates take most of a minute. The forms use the sections
// yyyy, MM/M, dd/d, HH/H, h (with AP), mm, ss and zzz; any other character
// stands for itself.
bool matchForm(const char *form, const char *p, const char *e, long long &ms)
{
    int year = -1, month = 0, day = 0, hour = 0, minute = 0, second = 0, milli = 0;
    int half = -1; // 0 AM, 1 PM, -1 a 24-hour form
    for (const char *f = form; *f;) {
        int run = 1;
        while (f[run] == *f)
            ++run;
        bool ok = true;
        switch (*f) {
        case 'y': ok = run == 4 && number(p, e, 4, 4, year); break;
        case 'M': ok = number(p, e, run, 2, month); break;
        case 'd': ok = number(p, e, run, 2, day); break;
        case 'H':
        case 'h': ok = number(p, e, run, 2, hour); break;
        case 'm': ok = number(p, e, run, 2, minute); break;
        case 's': ok = number(p, e, run, 2, second); break;
        case 'z': ok = number(p, e, run, 3, milli); break;
        case 'A':
            // "AP": AM or PM, either case.
            ok = f[1] == 'P' && e - p >= 2 && (p[1] == 'M' || p[1] == 'm')
                 && (p[0] == 'A' || p[0] == 'a' || p[0] == 'P' || p[0] == 'p');
            if (ok) {
                half = (p[0] == 'P' || p[0] == 'p') ? 1 : 0;
                p += 2;
            }
            run = 2;
            break;
        default:
            ok = p < e && *p == *f;
            if (ok)
                ++p;
            run = 1;
            break;
        }
        if (!ok)
            return false;
        f += run;
    }
    if (p != e || year < 0 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || minute > 59
        || second > 59)
        return false;
    if (half >= 0) {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + 12 * half;
    } else if (hour > 23) {
        return false;
    }
    ms = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400000LL
         + ((hour * 60LL + minute) * 60 + second) * 1000 + milli;
    return true;
}

} // namespace

bool FallbackDates::parse(const char *b, const char *e, long long &ms)
{
    while (b < e && (*b == ' ' || *b == '\t'))
        ++b;
    while (e > b && (e[-1] == ' ' || e[-1] == '\t'))
        --e;
    if (b == e)
        return false;
    static const char *const forms[] = {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss.zzz", "yyyy-MM-ddTHH:mm:ss",
                                        "M/d/yyyy h:mm:ss AP", "M/d/yyyy H:mm:ss", "d.M.yyyy H:mm:ss",
                                        "d/M/yyyy H:mm:ss", "yyyy/MM/dd HH:mm:ss"};
    constexpr int count = static_cast<int>(sizeof(forms) / sizeof(forms[0]));
    for (int k = 0; k < count; ++k) {
        const int i = (m_last + k) % count;
        if (matchForm(forms[i], b, e, ms)) {
            m_last = i;
            return true;
        }
    }
    return false;
}
