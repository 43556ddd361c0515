#include "platform/ResourceModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QResource>
#include <atomic>

namespace {
std::atomic<int> nextRoot{0};
}

QStringList ResourceModule::SearchFolders()
{
    const QDir program(QCoreApplication::applicationDirPath());
    QStringList folders{program.absolutePath()};
#ifdef VANTRELLE_DATA_FROM_BIN
    folders << QDir::cleanPath(program.filePath(QStringLiteral(VANTRELLE_DATA_FROM_BIN)));
#endif
#ifdef VANTRELLE_DATA_DIR
    folders << QDir::cleanPath(QStringLiteral(VANTRELLE_DATA_DIR));
#endif
    folders.removeDuplicates();
    return folders;
}

QString ResourceModule::Locate(const QString &name)
{
    const QStringList folders = SearchFolders();
    for (const QString &folder : folders) {
        QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QDir(folders.front()).filePath(name);
}

ResourceModule::ResourceModule()
    : m_root(QStringLiteral("/vntmodule%1").arg(nextRoot.fetch_add(1)))
{
}

ResourceModule::~ResourceModule()
{
    Free();
}

bool ResourceModule::Load(const QString &path)
{
    Free();
    if (!QFileInfo(path).isFile())
        return false;
    if (!QResource::registerResource(path, m_root))
        return false;
    m_path = path;
    m_loaded = true;
    return true;
}

void ResourceModule::Free()
{
    if (m_loaded)
        QResource::unregisterResource(m_path, m_root);
    m_loaded = false;
    m_path.clear();
}

QString ResourceModule::FindResource(const QString &name, const QString &type) const
{
    if (!m_loaded || type.isEmpty() || name.isEmpty())
        return {};
    const QString entry = name.startsWith(QLatin1Char('#')) ? name.mid(1) : name;
    const QString handle = QStringLiteral(":%1/%2/%3").arg(m_root, type, entry);
    const QFileInfo info(handle);
    return info.exists() && info.isFile() ? handle : QString();
}

bool ResourceModule::LoadResource(const QString &handle, QByteArray &bytes) const
{
    if (!m_loaded || handle.isEmpty())
        return false;
    QResource resource(handle);
    if (!resource.isValid())
        return false;
    // The module's bytes are mapped from its file and vanish when it is
    // freed: hand out a copy of our own.
    const QByteArray mapped = resource.uncompressedData();
    bytes = QByteArray(mapped.constData(), mapped.size());
    return !bytes.isNull();
}
