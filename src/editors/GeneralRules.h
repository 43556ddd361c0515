#pragma once

#include "model/TuneItems.h"

#include <QString>

// The rules of the general settings panel apart from any widget: which item
// each number box edits, the range a typed number must lie in, how it becomes
// the stored raw byte and how a raw byte is shown; and the version box's
// padding.
namespace GeneralRules {

enum class Field { RevLimiter, SpeedLimiter, VTCRelease };

struct FieldRule
{
    TuneItem item;
    double low;              // the limits a typed number must lie within
    double high;
    bool allowSignAndPoint;  // the speed limiter takes decimals
};
const FieldRule &RuleOf(Field field);

// What the box shows for a raw byte: RPM (raw x 50) or MPH (raw x 1.24).
QString ShownText(Field field, int raw);
// The raw byte a typed number within the field's limits stores:
// R(RPM / 50), R(MPH / 1.24).
int RawFromValue(Field field, double value);

// The five characters the version box stores: the first five typed, padded
// with blanks in front when fewer were typed.
QString PaddedVersion(const QString &typed);
// The version as the box shows it: without its leading and trailing blanks
// (other characters, such as the zero bytes of an erased image, are kept).
QString ShownVersion(const QString &version);

} // namespace GeneralRules
