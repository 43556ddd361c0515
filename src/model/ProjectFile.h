#pragma once

#include "model/ProgramState.h"
#include "platform/FileIO.h"

#include <QByteArray>
#include <QString>

// The project file (.vnt): the ten maps and the general parameters in a fixed
// layout of 1837 bytes.
namespace ProjectFormat {
inline constexpr int Size = 1837;
inline constexpr char FormatByte = 0x31;
inline constexpr int RevLimiter = 1601;
inline constexpr int InjectorKHigh = 1603;
inline constexpr int Version = 1704;
inline constexpr int VQ = 1709;
} // namespace ProjectFormat

// The 1837 bytes of a tune.
QByteArray EncodeProject(const Tune &tune);
// Fills the tune from project bytes; fields beyond the end of a short file
// read as 0, bytes after offset 1836 and the format byte are ignored.
void DecodeProject(const QByteArray &bytes, Tune &tune);

// Fills the model from the file; on failure the model is unchanged and the
// outcome carries the operating system's description.
FileOutcome ReadProjectFile(const QString &path, Tune &tune);
// Writes the tune into the file. An existing longer file keeps its bytes
// after offset 1836. The file is replaced atomically, so a failed save leaves
// the previous file intact.
FileOutcome WriteProjectFile(const QString &path, const Tune &tune);

struct OpenProjectOutcome
{
    bool ok = false;
    QString message; // on failure: "Error when attempting to load map: " + description
    QString title;   // on success: "Vantrelle - " + path
};

// The model side of opening a project: read, and on success clear Modified.
// The window shows the message or takes the title and rebuilds its tree.
OpenProjectOutcome OpenProject(const QString &path, ProgramState &state);
