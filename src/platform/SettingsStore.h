#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

// The per-user preferences store: a tree of named values below the
// application node "Vantrelle", kept in an INI file per user
// ($XDG_CONFIG_HOME/Vantrelle/Vantrelle.ini). Key paths are relative to the
// application node and use "/" between levels ("LabJack/MAS"); the empty path
// is the application node itself.
//
// The key-level operations return a status: 0 for success, non-zero for
// failure; the caller decides what a failure means.
class SettingsStore
{
public:
    enum Status { Ok = 0, NoSuchKey = 1, NoSuchValue = 2, NotANumber = 3, WriteFailed = 4 };

    // The current user's store.
    SettingsStore();
    // A store kept in the given INI file (tests, tools).
    explicit SettingsStore(const QString &iniPath);

    int ReadText(const QString &keyPath, const QString &name, QString &text) const;
    int WriteText(const QString &keyPath, const QString &name, const QString &text);
    int ReadLong(const QString &keyPath, const QString &name, qint32 &value) const;
    int WriteLong(const QString &keyPath, const QString &name, qint32 value);
    int EnumerateSubKeys(const QString &keyPath, QStringList &names) const;
    int DeleteSubKey(const QString &parentPath, const QString &name);

    // Pushes pending writes to disk.
    int Flush();
    QString fileName() const { return m_settings->fileName(); }

private:
    bool keyExists(const QString &keyPath) const;
    static QString valuePath(const QString &keyPath, const QString &name);
    std::unique_ptr<QSettings> open() const;
    int writeStatus();

    QString m_iniPath; // empty: the current user's store
    std::unique_ptr<QSettings> m_settings;
};
