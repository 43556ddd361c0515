#pragma once

#include "model/Tune.h"
#include "platform/FileIO.h"

#include <QByteArray>
#include <QString>

// The raw image file (.bin): the box's whole calibration memory, byte k of the
// file being image address k. No header, no checksum.
namespace ImageFormat {
inline constexpr int Size = 32768;
// The file types offered when an image file is chosen.
inline constexpr const char *DialogFilter = "Map Files (*.bin)|*.bin|All Files (*.*)|*.*";
}

// Reads a raw image: a file of exactly 32768 bytes. A missing file, a shorter
// or a longer one is refused with a message saying so (any file of 32 KB or
// more is not an image: a log, a project), and so is a folder, pipe or
// device. With longerAccepted (the user said so) the first 32768 bytes of a
// longer file are the image; only they are read.
FileOutcome ReadImageFile(const QString &path, QByteArray &image, bool longerAccepted = false);
// The size of a file that is no image only because it is longer; -1 for any
// other file.
qint64 LongerThanAnImage(const QString &path);
// The warning before such a file is written to the box anyway.
QString LongerImageWarning(const QString &path, qint64 size);
// Writes exactly the 32768 bytes of image, atomically.
FileOutcome WriteImageFile(const QString &path, const QByteArray &image);

// The tune regions of an image (every transferred item; the acceleration
// enrichment table, which the image does not hold, becomes 0).
void TuneFromImage(const QByteArray &image, Tune &tune);
// A copy of base with every transferred item replaced from the tune.
QByteArray PatchImage(const QByteArray &base, const Tune &tune);
