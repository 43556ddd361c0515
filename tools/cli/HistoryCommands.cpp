// The tune history the application keeps: history list, history show N,
// history restore N OUT.vnt, in the folder of --folder or the application's.

#include "CliCommon.h"
#include "TuneText.h"

#include "history/HistoryStore.h"
#include "model/ProjectFile.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFileInfo>

namespace cli {
namespace {

const char *const HistoryUsage = "history takes list, show N or restore N OUT.vnt";

QString applicationFolder()
{
    // The application's data folder is named after its organisation and
    // name; the tool gives itself the same ones to find the same folder.
    QCoreApplication::setOrganizationName(QStringLiteral("Vantrelle"));
    QCoreApplication::setApplicationName(QStringLiteral("Vantrelle"));
    return HistoryStore::DefaultFolder();
}

// id, local time, what happened, where, note. The free texts are escaped
// as the index keeps them, so a note with a line end stays on its line.
QByteArray entryLine(const HistoryEntry &e)
{
    QStringList fields{QString::number(e.id), e.at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                       HistoryIndex::KindCaption(e.kind), HistoryIndex::Escape(e.where)};
    if (!e.note.isEmpty())
        fields << HistoryIndex::Escape(e.note);
    return fields.join(QStringLiteral("  ")).toUtf8() + '\n';
}

std::optional<HistoryStore::Snapshot> snapshotOf(const HistoryStore &store, int id, int &status)
{
    std::optional<HistoryStore::Snapshot> s = store.SnapshotOf(id);
    if (!s)
        status = fail(QStringLiteral("%1: the tune of history entry %2 could not be read (its snapshot is "
                                     "missing or damaged)")
                          .arg(store.Folder())
                          .arg(id));
    return s;
}

int show(const HistoryStore &store, const HistoryEntry &entry)
{
    print(entryLine(entry));
    // The entry before it in the history's order; the first has none.
    const std::vector<HistoryEntry> &entries = store.Entries();
    const HistoryEntry *before = nullptr;
    for (const HistoryEntry &e : entries) {
        if (&e == &entry)
            break;
        before = &e;
    }
    if (!before)
        return ExitOk;
    int status = ExitFailure;
    const std::optional<HistoryStore::Snapshot> then = snapshotOf(store, before->id, status);
    const std::optional<HistoryStore::Snapshot> now = then ? snapshotOf(store, entry.id, status) : std::nullopt;
    if (!now)
        return status;
    const QStringList lines = differenceLines(then->tune, now->tune);
    if (!lines.isEmpty())
        print((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return ExitOk;
}

int restore(const HistoryStore &store, const HistoryEntry &entry, const QString &out)
{
    // Every file of the history is an input: a restore must never replace
    // its index or a snapshot, by any path or link.
    QStringList inputs;
    QDirIterator files(store.Folder(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext())
        inputs << files.next();
    if (FileOutcome checked = CheckOutputFile(out, inputs); !checked)
        return fail(checked.error);
    int status = ExitFailure;
    const std::optional<HistoryStore::Snapshot> s = snapshotOf(store, entry.id, status);
    if (!s)
        return status;
    if (FileOutcome w = WriteProjectFile(out, s->tune); !w)
        return fail(w.error);
    return ExitOk;
}

} // namespace

int runHistoryCommand(const QString &command, const QStringList &args, const Options &options)
{
    if (command != QLatin1String("history"))
        return -1;
    const QString what = args.value(0);
    const bool known = (what == QLatin1String("list") && args.size() == 1)
        || (what == QLatin1String("show") && args.size() == 2)
        || (what == QLatin1String("restore") && args.size() == 3);
    if (!known)
        return usage(QString::fromLatin1(HistoryUsage));
    int id = 0;
    if (what != QLatin1String("list")) {
        bool ok = false;
        id = args[1].toInt(&ok);
        if (!ok || id < 1)
            return usage(QStringLiteral("history %1: '%2' is not an entry number").arg(what, args[1]));
    }
    // A folder named on the command line must be there; the application's
    // own is simply empty before its first entry.
    if (!options.folder.isEmpty() && !QFileInfo(options.folder).isDir()) {
        fail(QStringLiteral("%1: no such folder (--folder names the folder of a tune history)").arg(options.folder));
        return ExitUsage;
    }
    HistoryStore store(options.folder.isEmpty() ? applicationFolder() : options.folder);
    store.Load();
    if (store.SkippedLines() > 0)
        warn(QStringLiteral("%1: %2 damaged lines of the history were skipped")
                 .arg(store.Folder())
                 .arg(store.SkippedLines()));

    if (what == QLatin1String("list")) {
        QByteArray text;
        for (const HistoryEntry &e : store.Entries())
            text += entryLine(e);
        print(text);
        return ExitOk;
    }
    const HistoryEntry *entry = store.Entry(id);
    if (!entry)
        return fail(QStringLiteral("%1: the history has no entry %2").arg(store.Folder()).arg(id));
    return what == QLatin1String("show") ? show(store, *entry) : restore(store, *entry, args[2]);
}

} // namespace cli
