#include "platform/SaveFileName.h"

#include <QFileInfo>
#include <QStringList>

namespace SaveFileName {

namespace {

// "*.vnt" -> "vnt"; "*.*", "*" and anything else without a plain
// extension -> empty.
QString patternExtension(const QString &pattern)
{
    const QString p = pattern.trimmed();
    if (!p.startsWith(QLatin1String("*.")))
        return {};
    QString ext = p.mid(2);
    if (ext.isEmpty() || ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?'))
        || ext.contains(QLatin1Char('.')))
        return {};
    return ext;
}

QStringList patternsOf(const QString &filterPairs, int filterNumber)
{
    const QStringList parts = filterPairs.split(QLatin1Char('|'));
    const int at = (filterNumber - 1) * 2 + 1;
    if (filterNumber < 1 || at >= parts.size())
        return {};
    return parts.at(at).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

} // namespace

QString FilterExtension(const QString &filterPairs, int filterNumber)
{
    for (const QString &pattern : patternsOf(filterPairs, filterNumber)) {
        QString ext = patternExtension(pattern);
        if (!ext.isEmpty())
            return ext;
    }
    return {};
}

int FilterNumberNamed(const QString &filterPairs, const QString &filterName)
{
    const QStringList parts = filterPairs.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (parts.at(i) == filterName)
            return i / 2 + 1;
    return 1;
}

QString WithExtension(const QString &path, const QString &filterPairs, int filterNumber)
{
    const QString ext = FilterExtension(filterPairs, filterNumber);
    if (path.isEmpty() || ext.isEmpty())
        return path;
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty())
        return path; // a folder, not a file name
    const qsizetype pairs = (filterPairs.split(QLatin1Char('|')).size()) / 2;
    for (int n = 1; n <= pairs; ++n) {
        for (const QString &pattern : patternsOf(filterPairs, n)) {
            const QString known = patternExtension(pattern);
            if (!known.isEmpty() && name.size() > known.size() + 1
                && name.endsWith(QLatin1Char('.') + known, Qt::CaseInsensitive))
                return path;
        }
    }
    return path + QLatin1Char('.') + ext;
}

QString Dated(const QString &prefix, const QDateTime &when, const QString &extension)
{
    return QStringLiteral("%1 %2.%3").arg(prefix, when.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")), extension);
}

} // namespace SaveFileName
