#pragma once

// The dates of a data log's first column, as milliseconds since
// 1970-01-01 00:00 read as a calendar time without a zone.

namespace DataLogText {
// A logger date "yyyy-MM-dd HH:mm:ss.zzz" (milliseconds optional, 1 to 3
// digits); false when the text is not such a date. Fast: every line of a log
// goes through it.
bool ParseLoggerDate(const char *begin, const char *end, long long &msOut);
} // namespace DataLogText

// Dates in a form other than the logger's (a log re-saved by a spreadsheet in
// the regional format, often in whole seconds), tried when the logger's form
// fails; the form that worked last is tried first. Read by hand like the
// logger's: a log of such dates has one on every line.
class FallbackDates
{
public:
    bool parse(const char *b, const char *e, long long &ms);

private:
    int m_last = 0;
};
