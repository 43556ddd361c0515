#pragma once

#include <QDateTime>
#include <QString>

// The name a save dialog's answer becomes. Filters are written as in
// FileDialogService ("Vantrelle Files (*.vnt)|*.vnt|All Files (*.*)|*.*").
namespace SaveFileName {

// The extension of filter number filterNumber (1 = the first pair), such as
// "vnt"; empty for a pattern that names none (*.*) and for a number that
// names no pair.
QString FilterExtension(const QString &filterPairs, int filterNumber);

// The number (1 = the first pair) of the pair whose name is filterName (as
// the Qt dialog reports it); 1 when none matches.
int FilterNumberNamed(const QString &filterPairs, const QString &filterName);

// path with the chosen filter's extension added when its file name ends in
// none of the extensions the filters offer (any case), so the file shows up
// in the open dialog of its kind: "tune1" becomes "tune1.vnt", "tune.v2"
// becomes "tune.v2.vnt", "log.TXT" stays. Unchanged for an empty path and
// for a filter without an extension.
QString WithExtension(const QString &path, const QString &filterPairs, int filterNumber);

// A name for a file that has none yet: prefix, the date and the time, and
// the extension: "datalog 2024-05-01 14-32-05.csv".
QString Dated(const QString &prefix, const QDateTime &when, const QString &extension);

} // namespace SaveFileName
