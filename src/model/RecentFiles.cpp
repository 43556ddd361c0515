#include "model/RecentFiles.h"

#include "platform/SettingsStore.h"

namespace {
// The list's value, on the application node itself, in no section.
constexpr const char *MRUKey = "MRU";
} // namespace

void RecentFiles::Update(const QString &path, bool atEnd)
{
    const qsizetype at = m_entries.indexOf(path);
    if (at >= 0)
        m_entries.removeAt(at);
    if (atEnd)
        m_entries.append(path);
    else
        m_entries.prepend(path);
    if (m_entries.size() > MaxEntries)
        m_entries.removeLast();
}

QString RecentFiles::Caption(int n, const QString &path)
{
    return QStringLiteral("&%1 %2").arg(n).arg(path);
}

QString RecentFiles::PathFromCaption(const QString &caption)
{
    const qsizetype blank = caption.indexOf(QLatin1Char(' '));
    return blank < 0 ? QString() : caption.mid(blank + 1);
}

void RecentFiles::Load(const SettingsStore &store)
{
    QString text;
    if (store.ReadText(QString(), QLatin1String(MRUKey), text) != SettingsStore::Ok || text.isEmpty())
        return;
    for (const QString &entry : text.split(QLatin1Char(';')))
        Update(entry, true);
}

void RecentFiles::Save(SettingsStore &store) const
{
    store.WriteText(QString(), QLatin1String(MRUKey), m_entries.join(QLatin1Char(';')));
}
