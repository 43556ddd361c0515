#pragma once

#include "model/TuneItems.h"

#include <QByteArray>
#include <QString>
#include <vector>

class RealTimeSender;

// Writing a change of several values into the box in real time: every run of
// adjacent changed bytes goes out as one frame, not one frame per value.
struct ByteRun
{
    int offset = 0;  // first byte within the item's bytes
    QByteArray data; // the new bytes
};

// The runs of consecutive bytes that differ between before and after (blocks
// of equal length). A run of an item of 16-bit values is widened to whole
// values; runs are at most 256 bytes long.
std::vector<ByteRun> ChangedRuns(TuneItem item, const QByteArray &before, const QByteArray &after);

// Sends an item's change: the version text through the version write, every
// other item run by run. False when the item is never written in real time
// (the injector values, the acceleration table): the box has not been told.
bool SendItemChange(RealTimeSender &sender, TuneItem item, const QByteArray &before, const QByteArray &after,
                    const QString &versionAfter = QString());
