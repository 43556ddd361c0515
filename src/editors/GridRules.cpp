#include "editors/GridRules.h"

#include "platform/Rounding.h"
#include "model/Tune.h"
#include "model/Units.h"

#include <algorithm>
#include <cmath>

namespace GridRules {

namespace {

// Values this far out are refused by every rule below; checking them first
// keeps the rounding within range of an int.
bool hopeless(double value)
{
    return !std::isfinite(value) || value < -1.0e6 || value > 1.0e6;
}

using vnt::R;

CellCommit refuse(double low, double high)
{
    return {false, 0, low, high};
}

CellCommit accept(int raw)
{
    return {true, raw, 0, 0};
}

} // namespace

CellPlace PlaceOf(int row, int col)
{
    if (row < 0 || col < 0 || row >= GridRows || col >= GridCols)
        return CellPlace::Outside;
    if (row == 0 && col == 0)
        return CellPlace::Corner;
    if (col == 0)
        return CellPlace::RpmAxis;
    if (row == 0)
        return CellPlace::TpAxis;
    return CellPlace::Body;
}

int EntryIndexOf(int row, int col)
{
    switch (PlaceOf(row, col)) {
    case CellPlace::RpmAxis: return row - 1;
    case CellPlace::TpAxis: return col - 1;
    case CellPlace::Body: return (row - 1) * (GridCols - 1) + (col - 1);
    default: return -1;
    }
}

std::optional<MapKey> CellMap(MapKey body, CellPlace place)
{
    if (!IsBodyMap(body))
        return std::nullopt;
    switch (place) {
    case CellPlace::RpmAxis: return RpmAxisOf(body);
    case CellPlace::TpAxis: return TpAxisOf(body);
    case CellPlace::Body: return body;
    default: return std::nullopt;
    }
}

bool IsOpenLoopValue(int value)
{
    return value < 128;
}

int DisplayValue(int raw, bool timing)
{
    return BodyDisplayValue(raw, timing);
}

QString CellText(CellPlace place, int raw, bool timing)
{
    switch (place) {
    case CellPlace::RpmAxis: return QString::number(Units::RpmOf(raw));
    case CellPlace::TpAxis: return QString::number(raw);
    case CellPlace::Body: return QString::number(DisplayValue(raw, timing));
    default: return QString();
    }
}

int EditorMaxLength(CellPlace place)
{
    switch (place) {
    case CellPlace::RpmAxis: return 5;
    case CellPlace::TpAxis: return 3;
    default: return 6; // "-63.49": a sign, two digits, a point and two decimals
    }
}

bool TakesNegativeValues(CellPlace place, bool timing, int raw)
{
    return place == CellPlace::Body && !timing && !IsOpenLoopValue(raw);
}

CellCommit CommitCellValue(CellPlace place, bool timing, int oldRaw, double value)
{
    switch (place) {
    case CellPlace::RpmAxis:
        if (!(value >= Units::RpmOf(1) && value <= Units::RpmOf(255)))
            return refuse(Units::RpmOf(1), Units::RpmOf(255));
        return accept(Units::RawFromRpm(value));

    case CellPlace::TpAxis:
        if (!(value >= 0 && value <= 255))
            return refuse(0, 255);
        return accept(R(value));

    case CellPlace::Body:
        if (timing) {
            if (hopeless(value))
                return refuse(0, 45);
            const int v = R(value);
            const int d = v >= 128 ? v - 128 : v;
            if (d < 0 || d > 45)
                return refuse(0, 45);
            // An open cell takes the number as typed, so 128..173 closes it.
            return accept(IsOpenLoopValue(oldRaw) ? v : d + 128);
        }
        if (IsOpenLoopValue(oldRaw)) {
            if (!(value >= 0 && value <= 127))
                return refuse(0, 127);
            return accept(R(value));
        }
        if (hopeless(value))
            return refuse(-64, 63);
        if (value < 128) {
            if (!(value >= -64 && value <= 63))
                return refuse(-64, 63);
            return accept(R(value + 192));
        }
        {
            const int v = R(value);
            if (v < 128 || v > 255)
                return refuse(-64, 63);
            return accept(v);
        }

    default:
        return refuse(0, 0);
    }
}

double StepValue(CellPlace place, int raw, int delta)
{
    if (place == CellPlace::RpmAxis)
        return Units::RpmOf(raw + delta);
    return raw + delta;
}

int LoopSwitchedRaw(int raw, bool timing)
{
    if (timing)
        return IsOpenLoopValue(raw) ? raw + 128 : raw - 128;
    if (IsOpenLoopValue(raw))
        return raw < 64 ? raw + 192 : 255;
    return raw >= 192 ? raw - 192 : 0;
}

QString LoopCaption(int raw)
{
    return IsOpenLoopValue(raw) ? QStringLiteral("Switch to closed loop")
                                : QStringLiteral("Switch to open loop");
}

std::optional<TuneItem> CellItem(MapKey body, CellPlace place)
{
    const std::optional<MapKey> map = CellMap(body, place);
    if (!map)
        return std::nullopt;
    return ItemOfMap(*map);
}

QString LabelXCaption(MapKey body)
{
    switch (body) {
    case MapKey::HOFM: return QStringLiteral("Load - High Octane Fuel Map (1st, 2nd Gear)");
    case MapKey::HOHGFM: return QStringLiteral("Load - High Octane High Gear Fuel Map (3rd, 4th, 5th Gear)");
    case MapKey::LOFM: return QStringLiteral("Load - Low Octane Fuel Map (1st, 2nd Gear)");
    case MapKey::LOHGFM: return QStringLiteral("Load - Low Octane High Gear Fuel Map (3rd, 4th, 5th Gear)");
    case MapKey::HOTM: return QStringLiteral("Load - High Octane Timing Map");
    case MapKey::LOTM: return QStringLiteral("Load - Low Octane Timing Map");
    default: return QStringLiteral("Load");
    }
}

int CellWidthTwips(double pictureWidthTwips, double labelYWidthTwips)
{
    double a = pictureWidthTwips - labelYWidthTwips - 10;
    if (!std::isfinite(a) || a < 0)
        a = 0;
    a = std::min(a, 1.0e9);
    const int w = R((R(a) - 535) / 17.0);
    return std::max(w, 350);
}

int RowHeight(int fontRowHeight, int gridHeight)
{
    return std::max(fontRowHeight, gridHeight / GridRows);
}

double TextScaleToFit(int textWidth, int room)
{
    if (textWidth <= room || textWidth <= 0)
        return 1.0;
    return std::max(0.6, static_cast<double>(std::max(room, 0)) / textWidth);
}

} // namespace GridRules
