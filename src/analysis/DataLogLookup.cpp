// What the readers of a log ask of it once it is read: a column by name, the
// row at a time, and the one line that tells the user what the read found.

#include "analysis/DataLog.h"
#include "platform/Counted.h"

#include <algorithm>

int DataLog::columnIndex(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (int i = 0; i < names.size(); ++i)
        if (names[i].trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::ptrdiff_t DataLog::rowAtOrBefore(double t) const
{
    if (time.empty())
        return -1;
    const auto it = std::upper_bound(time.begin(), time.end(), t);
    return it == time.begin() ? 0 : (it - time.begin()) - 1;
}

std::ptrdiff_t DataLog::nearestRow(double t) const
{
    if (time.empty())
        return -1;
    const auto it = std::lower_bound(time.begin(), time.end(), t);
    if (it == time.begin())
        return 0;
    if (it == time.end())
        return static_cast<std::ptrdiff_t>(time.size()) - 1;
    const std::ptrdiff_t after = it - time.begin();
    const std::ptrdiff_t before = after - 1;
    return (*it - t) < (t - time[static_cast<std::size_t>(before)]) ? after : before;
}

QString DataLogReport::summary() const
{
    QStringList parts;
    parts << Counted(lines, "sample", "samples");
    if (shortLines)
        parts << Counted(shortLines, "short line", "short lines") + QStringLiteral(" (missing values left blank)");
    if (longLines)
        parts << Counted(longLines, "line with extra fields", "lines with extra fields") + QStringLiteral(" (ignored)");
    if (badFields)
        parts << Counted(badFields, "field that is not a number", "fields that are not numbers");
    if (undatedLines)
        parts << Counted(undatedLines, "line without a readable date", "lines without a readable date");
    if (clockSteps)
        parts << Counted(clockSteps, "line dated earlier than the line above", "lines dated earlier than the line above");
    if (truncatedLastLine)
        parts << QStringLiteral("an incomplete last line left out");
    if (overlongLines)
        parts << Counted(overlongLines, "overlong line left out", "overlong lines left out");
    if (ignoredColumns)
        parts << Counted(ignoredColumns, "column", "columns")
                     + QStringLiteral(" beyond the first %1 not read").arg(DataLogLimits::MaxColumns);
    if (stoppedAtLimit)
        parts << QStringLiteral("the log is too large: only the first %1 samples were read").arg(lines);
    return parts.join(QStringLiteral("; "));
}
