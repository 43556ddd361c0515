#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The history's snapshots on disk: each the tune's project encoding and the
// box image it makes, as one blob, stored once under the SHA-256 of its
// bytes (objects/ab/abcd...). A blob is kept as the change from the blob
// stored before it (the bytes XOR-ed, then compressed: mostly zeros), and
// every 32nd one whole, so that a day of entries costs little and no blob
// needs more than 32 others to be read.
//
//   object  "VHO1" | u8 kind (0 whole, 1 change) | u8 depth | [32 bytes:
//           the SHA-256 of the blob it changes, for a change] | the payload
//           compressed by qCompress (a 4-byte big-endian size, then zlib)
namespace HistoryObjects {

inline constexpr int MaxDepth = 32;
// The most an object file is read.
inline constexpr qint64 MaxObjectBytes = 1 << 20;

QString HashOf(const QByteArray &blob);
// The object file of a blob's hash in the objects folder.
QString PathOf(const QString &objectsFolder, const QString &hash);

// The object for blob, written as a change from parent (with the parent's
// depth) when there is one and the chain is short enough.
QByteArray Encode(const QByteArray &blob, const QByteArray *parent, const QString &parentHash, int parentDepth);

struct Decoded
{
    bool ok = false;
    bool change = false;
    int depth = 0;
    QString parentHash;  // for a change
    QByteArray payload;  // the blob, or its XOR with the parent
};
// Reads an object; blobSize is the size every blob has, so a damaged size
// field never makes it allocate more.
Decoded Decode(const QByteArray &object, int blobSize);

} // namespace HistoryObjects
