#pragma once

#include <QByteArray>
#include <QString>

// Standard output of the programs, whose every write is checked: a report
// cut short on a full disk or a closed pipe must not end in success.
namespace StandardOutput {

// Writes bytes to stdout and flushes them; false when they did not all go
// out. The first failure's reason is kept for Error().
bool Write(const QByteArray &bytes);
bool Write(const char *text);

// Flushes stdout; the reason the first failed write (or this flush) failed,
// empty when everything written reached it.
QString Error();

// Whether anything written to stdout failed; if so, says so on stderr once
// ("PROGRAM: standard output: REASON"), for the program to end in failure.
bool Failed(const char *program);

} // namespace StandardOutput
