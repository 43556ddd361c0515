#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

// The edit journal's file: what the tune was after every change of a run, so
// that a run that ends without closing it (a crash, a kill, a power cut) can
// be taken up again at its last change.
//
//   header   "VNTJ", version byte 1, three zero bytes
//   record   u32 length n | n bytes of body | u32 CRC-32 of the body
//   body     u8 type (1) | i64 time (ms since 1970, UTC) | u8 flags
//            (bit 0 modified, bit 1 changes not sent, bit 2 file name
//            follows) | [u16 length, UTF-8 file name] | u16 run count |
//            runs: u16 offset, u16 length, the bytes at that offset of the
//            tune's project encoding
//
// Numbers are little-endian. The first record holds the whole encoding (one
// run from 0) and the file name; each later one only what changed. A record
// whose length runs past the end of the file, or whose CRC does not match,
// is where the journal ends: a record torn by a crash is dropped, never read.
namespace JournalFormat {

inline constexpr int HeaderSize = 8;
// The largest body a record may claim (a whole tune and a long name fit many
// times over): a damaged length never makes a reader allocate more.
inline constexpr quint32 MaxBody = 64 * 1024;
inline constexpr int MaxNameBytes = 4096;

struct State
{
    QByteArray project; // the tune's project encoding
    QString fileName;
    bool modified = false;
    bool notSent = false;
    QDateTime at;

    // Same tune, file and flags (the time does not count).
    bool sameAs(const State &other) const;
};

QByteArray Header();
// The record that takes a journal from `from` to `to`; from is null for the
// first record, which holds everything.
QByteArray Record(const State *from, const State &to);

struct Replay
{
    bool ok = false;      // a header and a first, whole record
    State state;          // as of the last good record
    int records = 0;
    qint64 goodBytes = 0; // where the last good record ends
    bool cutShort = false; // bytes after the last good record were dropped
    QString error;        // why nothing could be read (when !ok)
};
// Reads a journal's bytes. projectSize is the size of a whole encoding.
Replay Read(QByteArrayView bytes, int projectSize);

} // namespace JournalFormat
