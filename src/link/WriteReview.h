#pragma once

#include "model/TuneItems.h"

#include <QString>
#include <QStringList>
#include <vector>

class BoxContents;
class Tune;

// What a write to the box is about to do, shown with the question before it:
// item by item against what the box is known to hold, and what looks
// implausible about the tune. Warnings inform; they never stop a write.
struct WriteReview
{
    QStringList changes;  // one line per item that changes: cell counts, or old -> new for one value
    QStringList unknown;  // items whose contents in the box are not known: written whole
    int unchanged = 0;    // items the box already holds as the tune has them
    bool nothingKnown = false; // not one item of the box is known
    QStringList warnings; // see TuneWarnings

    // The details shown with the question: the changes, then the warnings.
    QString Text() const;
};

// items: what the write sends, in transfer order; originWarning: what was
// unusual about the file the tune was loaded from (empty when nothing).
WriteReview ReviewWrite(const Tune &tune, const BoxContents &box, const std::vector<TuneItem> &items,
                        const QString &originWarning);

// What looks wrong with the tune whatever the box holds: a doubtful source
// file, an RPM or TP axis whose entries do not rise, a rev limiter below
// 1000 RPM.
QStringList TuneWarnings(const Tune &tune, const QString &originWarning);
