#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A resource module: a file of typed, numbered resources that the program
// loads at run time. On this platform a module is a Qt binary resource file
// (made by rcc --binary) in which resource "#105" of type "AUTOBIN" is the
// entry AUTOBIN/105.
//
// The operations follow the module lookup steps one by one (load the module,
// find a resource, load it, lock it) so that each step can fail with its own
// message.
class ResourceModule
{
public:
    ResourceModule();
    ~ResourceModule();
    ResourceModule(const ResourceModule &) = delete;
    ResourceModule &operator=(const ResourceModule &) = delete;

    // Where a module file named `name` is looked for, in this order: the
    // program's own folder (a build tree, a copied folder), the data folder
    // beside an installed program's bin/ (an install under any prefix, a
    // package unpacked anywhere), then the data folder the build was
    // configured to install to. The first that holds the file wins; when
    // none does, the path in the program's own folder, so a message names
    // the place a user would look first.
    static QStringList SearchFolders();
    static QString Locate(const QString &name);

    // Loads the module file; false when it is missing or not a module.
    bool Load(const QString &path);
    void Free();
    bool isLoaded() const { return m_loaded; }

    // A handle of a resource, or an empty handle when there is none of that
    // type and name. Names of the form "#number" name numbered resources.
    QString FindResource(const QString &name, const QString &type) const;
    // The resource's bytes; false when they cannot be had.
    bool LoadResource(const QString &handle, QByteArray &bytes) const;

private:
    QString m_path;
    QString m_root; // where the module's entries are mapped, unique per instance
    bool m_loaded = false;
};
