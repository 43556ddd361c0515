#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// The recently used project files, most recent first, at most nine.
class RecentFiles
{
public:
    static constexpr int MaxEntries = 9;

    // Puts path into the list: an equal entry (exact, case-sensitive; the
    // first match only) is removed, path goes to the front (or the end when
    // atEnd), and a tenth entry drops off the end.
    void Update(const QString &path, bool atEnd);

    const QStringList &entries() const { return m_entries; }
    // "&1 C:\Tunes\street.vnt": the menu caption of entry n (1-based).
    static QString Caption(int n, const QString &path);
    // The path of a menu caption: everything after its first blank.
    static QString PathFromCaption(const QString &caption);

    // Reads the ";"-separated "MRU" value of the application node and adds
    // its entries in order at the end.
    void Load(const SettingsStore &store);
    void Save(SettingsStore &store) const;

private:
    QStringList m_entries;
};
