#pragma once

#include <QString>

// The status bar's line after a transfer of tune items to or from the box:
// what was done and how long it took ("Wrote 3 items to the Vantrelle in
// 0.2 s"), or, for a transfer that stopped part-way, how far it got.
namespace TransferSummary {

enum class Kind { Read, Write };

// done of total items got through; ms the time the transfer took.
QString Text(Kind kind, int done, int total, bool success, qint64 ms);

// The line after a whole ROM image went to or came from the box ("Read the
// ROM image from the Vantrelle into /home/me/rom.bin in 2.9 s"), naming the
// image file when there is one. A transfer that failed has shown its own
// message; it gets no line.
QString RomText(Kind kind, qint64 ms, const QString &file = QString());

} // namespace TransferSummary
