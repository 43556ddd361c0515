#include "link/TransferSummary.h"
#include "platform/Counted.h"

#include <QDir>

#include <algorithm>

namespace TransferSummary {

namespace {

QString items(int n)
{
    return Counted(n, "item", "items");
}

QString seconds(qint64 ms)
{
    // Tenths of a second, never "-0.0" nor "0.0" for a transfer that did take time.
    const qint64 tenths = std::max<qint64>(ms > 0 ? 1 : 0, (std::max<qint64>(ms, 0) + 50) / 100);
    return QStringLiteral("%1.%2 s").arg(tenths / 10).arg(tenths % 10);
}

} // namespace

QString Text(Kind kind, int done, int total, bool success, qint64 ms)
{
    const bool reading = kind == Kind::Read;
    if (success)
        return QStringLiteral("%1 %2 %3 the Vantrelle in %4")
            .arg(reading ? QStringLiteral("Read") : QStringLiteral("Wrote"), items(total),
                 reading ? QStringLiteral("from") : QStringLiteral("to"), seconds(ms));
    done = std::clamp(done, 0, std::max(total, 0));
    return QStringLiteral("The %1 stopped after %2 of %3 (%4)")
        .arg(reading ? QStringLiteral("read") : QStringLiteral("write"))
        .arg(done)
        .arg(items(total), seconds(ms));
}

QString RomText(Kind kind, qint64 ms, const QString &file)
{
    const QString name = QDir::toNativeSeparators(file);
    if (kind == Kind::Read)
        return file.isEmpty() ? QStringLiteral("Read the ROM image from the Vantrelle in %1").arg(seconds(ms))
                              : QStringLiteral("Read the ROM image from the Vantrelle into %1 in %2").arg(name, seconds(ms));
    return file.isEmpty() ? QStringLiteral("Wrote the ROM image to the Vantrelle in %1").arg(seconds(ms))
                          : QStringLiteral("Wrote the ROM image %1 to the Vantrelle in %2").arg(name, seconds(ms));
}

} // namespace TransferSummary
