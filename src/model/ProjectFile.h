#pragma once

#include "model/ProgramState.h"
#include "platform/FileIO.h"

#include <QByteArray>
#include <QString>
#include <functional>

// The project file (.vnt): the ten maps and the general parameters in a fixed
// layout of 1837 bytes.
namespace ProjectFormat {
inline constexpr int Size = 1837;
inline constexpr char FormatByte = 0x31;
// The file types offered when a project file is chosen.
inline constexpr const char *DialogFilter = "Vantrelle Files (*.vnt)|*.vnt|All Files (*.*)|*.*";
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

// Fills the model from the file, reading at most its first 1837 bytes; on
// failure the model is unchanged and the outcome names the file and the
// reason. warning, when given, receives ProjectFileWarning.
FileOutcome ReadProjectFile(const QString &path, Tune &tune, QString *warning = nullptr);
// Writes the tune into the file. An existing longer file keeps its bytes
// after offset 1836. The file is replaced atomically, so a failed save leaves
// the previous file intact.
FileOutcome WriteProjectFile(const QString &path, const Tune &tune);

// What is unusual about a project file whose first bytes are bytes: shorter
// than a project (the missing fields read as 0) or a first byte other than
// 0x31 (an empty file, another program's file renamed). Names the file and
// its size; empty for a sound file. Such a file still loads, but whoever
// loads it is told first.
QString ProjectFileWarning(const QString &path, const QByteArray &bytes);

struct OpenProjectOutcome
{
    bool ok = false;
    bool cancelled = false; // the file was unusual and the load was declined
    QString message; // on failure: "Error when attempting to load map: " + description
    QString title;   // on success: "Vantrelle - " + path
};

// Asked with the warning before an unusual file replaces the tune; false
// keeps the tune as it was.
using ConfirmUnusualProject = std::function<bool(const QString &warning)>;

// The model side of opening a project: read, confirm an unusual file, and on
// success clear Modified and remember the file's warning in
// TuneOriginWarning. The window shows the message or takes the title and
// rebuilds its tree. Without confirm an unusual file loads unasked.
OpenProjectOutcome OpenProject(const QString &path, ProgramState &state, const ConfirmUnusualProject &confirm = {});
