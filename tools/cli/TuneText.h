#pragma once

#include "model/MapCatalogue.h"
#include "platform/FileIO.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class Tune;

// A tune as lines of text, for people and for line-based tools: the values
// in which two tunes differ, and the whole tune one value a line. Shared by
// diff, textconv and history, and timed by the benchmarks.
namespace cli {

struct LoadedTune
{
    bool image = false; // read from a 32 KB image (its tune regions)
    QString warning;    // an unusual project file, as ProjectFileWarning says
};

// Reads a project file (.vnt) or a raw image (.bin); a file with another
// name is an image when it holds at least 32768 bytes.
FileOutcome readAnyTune(const QString &path, Tune &tune, LoadedTune &loaded);

// One line per value that differs from mine to theirs, in the units the
// panels show: "High Octane Fuel Map 37 (3000 RPM, load 48): 31 -> 33".
QStringList differenceLines(const Tune &mine, const Tune &theirs);
// One line per byte that differs, item by item: "VQ Table byte 5: 1F -> 20".
QStringList rawDifferenceLines(const Tune &mine, const Tune &theirs);

// The whole tune, one value a line, every line naming its value completely
// (a map cell its map, row, column, RPM and load), so that a changed value
// is one changed line and the same tune always gives the same bytes.
QByteArray tuneText(const Tune &tune, bool fromImage);

// Where a map cell is, as the tune's text names it: the map, its row and
// column, and the RPM and load of that row and column.
QString cellPlace(const QString &mapName, const Tune &tune, MapKey body, int entry);

} // namespace cli
