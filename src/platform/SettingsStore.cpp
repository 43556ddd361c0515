#include "platform/SettingsStore.h"

namespace {
// Text longer than this is cut, as the store's read buffer is this size.
constexpr int ReadBufferChars = 2048;
}

SettingsStore::SettingsStore() : m_settings(open())
{
}

SettingsStore::SettingsStore(const QString &iniPath) : m_iniPath(iniPath), m_settings(open())
{
}

std::unique_ptr<QSettings> SettingsStore::open() const
{
    if (m_iniPath.isEmpty())
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Vantrelle"),
                                           QStringLiteral("Vantrelle"));
    return std::make_unique<QSettings>(m_iniPath, QSettings::IniFormat);
}

int SettingsStore::writeStatus()
{
    // A line QSettings cannot read (a hand edit, a damaged file) leaves its
    // status at FormatError for good, which is no failure of any write and
    // hides the failures of later ones. The file is written out now, without
    // the lines that could not be read, and opened afresh: the status is then
    // that of the write again (a file that cannot be written still fails).
    if (m_settings->status() == QSettings::FormatError) {
        m_settings->sync();
        m_settings = open();
    }
    return m_settings->status() == QSettings::NoError ? Ok : WriteFailed;
}

QString SettingsStore::valuePath(const QString &keyPath, const QString &name)
{
    return keyPath.isEmpty() ? name : keyPath + QLatin1Char('/') + name;
}

bool SettingsStore::keyExists(const QString &keyPath) const
{
    if (keyPath.isEmpty())
        return true;
    // A key exists while anything is stored below it. Asked of the key
    // itself, this costs only what lies below it: listing its parent's
    // groups instead cost every sibling on each read, so loading many DAQ
    // inputs took the square of their number.
    m_settings->beginGroup(keyPath);
    const bool exists = !m_settings->childKeys().isEmpty() || !m_settings->childGroups().isEmpty();
    m_settings->endGroup();
    return exists;
}

int SettingsStore::ReadText(const QString &keyPath, const QString &name, QString &text) const
{
    const QVariant v = m_settings->value(valuePath(keyPath, name));
    if (!v.isValid())
        return keyExists(keyPath) ? NoSuchValue : NoSuchKey;
    text = v.toString().left(ReadBufferChars - 1);
    return Ok;
}

int SettingsStore::WriteText(const QString &keyPath, const QString &name, const QString &text)
{
    m_settings->setValue(valuePath(keyPath, name), text);
    return writeStatus();
}

int SettingsStore::ReadLong(const QString &keyPath, const QString &name, qint32 &value) const
{
    QString text;
    if (const int status = ReadText(keyPath, name, text); status != Ok)
        return status;
    bool ok = false;
    const qint32 v = text.trimmed().toInt(&ok);
    if (!ok)
        return NotANumber;
    value = v;
    return Ok;
}

int SettingsStore::WriteLong(const QString &keyPath, const QString &name, qint32 value)
{
    m_settings->setValue(valuePath(keyPath, name), value);
    return writeStatus();
}

int SettingsStore::EnumerateSubKeys(const QString &keyPath, QStringList &names) const
{
    if (!keyExists(keyPath))
        return NoSuchKey;
    m_settings->beginGroup(keyPath);
    names = m_settings->childGroups();
    m_settings->endGroup();
    return Ok;
}

int SettingsStore::DeleteSubKey(const QString &parentPath, const QString &name)
{
    const QString path = valuePath(parentPath, name);
    if (!keyExists(path))
        return NoSuchKey;
    m_settings->remove(path);
    return writeStatus();
}

int SettingsStore::Flush()
{
    m_settings->sync();
    return writeStatus();
}
