#pragma once

#include <cstddef>

struct DataLog;

// Where the datalog viewer stands in a log: the time range its plots show and
// the cursor's sample. The range never leaves the log and is never narrower
// than MinSpan nor wider than the log; the cursor, when it moves, brings the
// range along so that it stays in view.
//
// The object reads the log where it is (its times run from 0 and never
// decrease), so the log must outlive it.
class LogNavigation
{
public:
    static constexpr double MinSpan = 0.05; // seconds (or samples) in view at the closest zoom

    explicit LogNavigation(const DataLog &log);

    // The log was replaced: all of it in view, no cursor.
    void reset();

    double start() const { return m_t0; }
    double end() const { return m_t1; }
    double width() const { return m_t1 - m_t0; }
    // -1 when there is no cursor.
    std::ptrdiff_t cursorRow() const { return m_cursor; }

    // The range operations return false when they refuse the request (not a
    // finite range, a factor that is not positive); the range then stays.
    bool setRange(double t0, double t1);
    // factor < 1 zooms in; centre keeps its place on the time axis.
    bool zoom(double factor, double centre);
    // Zooms around the cursor, or the middle of the range when there is none.
    bool zoomAtCursor(double factor);
    bool pan(double delta);
    // Half a range back or forward.
    bool pageBack() { return pan(-width() / 2); }
    bool pageForward() { return pan(width() / 2); }
    bool showAll();

    // The cursor on a row (one beyond the last is the last); false for an
    // empty log or a negative row. rangeMoved, when given, tells whether the
    // range had to follow.
    bool setCursorRow(std::ptrdiff_t row, bool *rangeMoved = nullptr);
    // The cursor on the sample nearest to t.
    bool setCursorTime(double t, bool *rangeMoved = nullptr);
    // The cursor step rows on (back when negative), never before the first.
    bool stepCursor(std::ptrdiff_t step, bool *rangeMoved = nullptr);
    // The cursor to the sample nearest to its time plus seconds (minus when
    // negative), at least one sample on.
    bool stepCursorSeconds(double seconds, bool *rangeMoved = nullptr);

private:
    // The length of the log (at least MinSpan; 1 when empty).
    double span() const;

    const DataLog &m_log;
    double m_t0 = 0;
    double m_t1 = 1;
    std::ptrdiff_t m_cursor = -1;
};
