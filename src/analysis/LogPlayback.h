#pragma once

#include "daq/AcquisitionSample.h"

#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

struct DataLog;
class TraceMarks;
class Tune;

// A saved log played back as if the engine were running: one log line
// becomes the sample an acquisition tick would have produced, traced with
// the live rules (EngineTrace) on the tune as it is now, so the panels, the
// strip, the gauges and the 3D view show what the current maps give the
// logged engine. Nothing here reaches the box.
namespace LogPlayback {

// The strip's and gauges' status while a log drives them.
inline QString StatusText()
{
    return QStringLiteral("Playback: figures from the log, not the engine.");
}

// Where the log keeps what a tick needs, found once per log.
struct Columns
{
    int rpm = -1;
    int tp = -1;
    int mas = -1; // the "MAS" input's logged value (its voltage on the usual set-up)
    // The inputs' columns (everything after the logger's fixed columns), in
    // log order, and whether each is a digital input.
    std::vector<int> inputs;
    std::vector<bool> digital;

    bool canTrace() const { return rpm >= 0 && tp >= 0; }
};

// digitalNames: the digital inputs of the DAQ set-up (the log does not say
// which columns are digital).
Columns FindColumns(const DataLog &log, const QStringList &digitalNames);

// The sample of one log line, traced into marks on tune (keepVisitedCells:
// highlight mode "All cells"). A line without RPM or TP (missing, not a
// number) or a row beyond the log gives a sample that is not acquired: the
// views keep what they showed.
AcquisitionSample SampleAt(const DataLog &log, const Columns &columns, std::size_t row, const Tune &tune,
                           TraceMarks &marks, bool keepVisitedCells);

} // namespace LogPlayback
