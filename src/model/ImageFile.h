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

// Reads a raw image. A missing file, or one holding fewer than 32768 bytes, is
// refused with a message saying so, and so is a folder, pipe or device; only
// the first 32768 bytes of a longer file are read, and they are the image.
FileOutcome ReadImageFile(const QString &path, QByteArray &image);
// Writes exactly the 32768 bytes of image, atomically.
FileOutcome WriteImageFile(const QString &path, const QByteArray &image);

// The tune regions of an image (every transferred item; the acceleration
// enrichment table, which the image does not hold, becomes 0).
void TuneFromImage(const QByteArray &image, Tune &tune);
// A copy of base with every transferred item replaced from the tune.
QByteArray PatchImage(const QByteArray &base, const Tune &tune);
