#pragma once

#include <cstddef>
#include <vector>

struct DataLog;

// The two cursors of the datalog viewer and what lies between them: the
// difference of each column from the first to the second, and the rows of a
// time range that the map overlay, the fuel correction and the scatter take.
namespace CursorWindow {

struct Delta
{
    double seconds = 0;              // time of B less time of A
    std::vector<double> differences; // per column asked for: B less A (NaN where either is missing)
};

// columns index DataLog::columns; rows beyond the log give an empty delta.
Delta Between(const DataLog &log, std::size_t rowA, std::size_t rowB, const std::vector<int> &columns);

// Rows [first, end) whose time lies within t0..t1 (either order), ends
// included; first == end when none does.
struct Rows
{
    std::size_t first = 0;
    std::size_t end = 0;
};
Rows RowsWithin(const DataLog &log, double t0, double t1);

} // namespace CursorWindow
