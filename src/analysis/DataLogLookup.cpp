// What the readers of a log ask of it once it is read: a column by name, the
// row at a time, and the one line that tells the user what the read found.

#include "analysis/DataLog.h"

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
    parts << QStringLiteral("%1 samples").arg(lines);
    if (shortLines)
        parts << QStringLiteral("%1 short lines (missing values left blank)").arg(shortLines);
    if (longLines)
        parts << QStringLiteral("%1 lines with extra fields (ignored)").arg(longLines);
    if (badFields)
        parts << QStringLiteral("%1 fields that are not numbers").arg(badFields);
    if (undatedLines)
        parts << QStringLiteral("%1 lines without a readable date").arg(undatedLines);
    if (clockSteps)
        parts << QStringLiteral("%1 lines dated earlier than the line above").arg(clockSteps);
    if (truncatedLastLine)
        parts << QStringLiteral("an incomplete last line left out");
    if (overlongLines)
        parts << QStringLiteral("%1 overlong lines left out").arg(overlongLines);
    if (ignoredColumns)
        parts << QStringLiteral("%1 columns beyond the first %2 not read").arg(ignoredColumns).arg(DataLogLimits::MaxColumns);
    if (stoppedAtLimit)
        parts << QStringLiteral("the log is too large: only the first %1 samples were read").arg(lines);
    return parts.join(QStringLiteral("; "));
}
