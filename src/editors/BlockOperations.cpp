#include "editors/BlockOperations.h"

#include "editors/NumericInput.h"
#include "platform/Rounding.h"
#include "model/Tune.h"
#include "model/Units.h"
#include "platform/Counted.h"

#include <algorithm>
#include <cmath>

using namespace GridRules;

namespace BlockOps {

namespace {

using vnt::R;

QString cells(int n)
{
    return Counted(n, "cell", "cells");
}

} // namespace

double ShownValue(CellPlace place, int raw, bool timing)
{
    switch (place) {
    case CellPlace::RpmAxis: return Units::RpmOf(raw);
    case CellPlace::TpAxis: return raw;
    case CellPlace::Body: return DisplayValue(raw, timing);
    default: return 0;
    }
}

int EncodeClamped(CellPlace place, bool timing, int oldRaw, double value)
{
    if (!std::isfinite(value))
        value = 0; // an overflowing scale: the cell's lowest value, never a wrapped one
    switch (place) {
    case CellPlace::RpmAxis: return std::clamp(Units::RawFromRpm(value), 1, 255);
    case CellPlace::TpAxis: return std::clamp(R(value), 0, 255);
    case CellPlace::Body:
        if (timing) {
            const int d = std::clamp(R(value), 0, 45);
            return IsOpenLoopValue(oldRaw) ? d : d + 128;
        }
        if (IsOpenLoopValue(oldRaw))
            return std::clamp(R(value), 0, 127);
        return std::clamp(R(value), -64, 63) + 192;
    default: return oldRaw;
    }
}

QString MapName(MapKey map)
{
    return QLatin1String(Info(ItemOfMap(map)).name);
}

std::vector<ValueWrite> ItemWrites(MapKey body, const Plan &plan)
{
    std::vector<ValueWrite> out;
    out.reserve(plan.writes.size());
    for (const CellWrite &w : plan.writes)
        if (const std::optional<TuneItem> item = CellItem(body, PlaceOf(w.row, w.col)))
            out.push_back({*item, EntryIndexOf(w.row, w.col), w.newRaw});
    return out;
}

QString StepLabel(Op op, double value, int count, const QString &mapName)
{
    const QString v = NumericInput::PlainNumberText(value);
    QString where = cells(count) + QStringLiteral(" in ") + mapName;
    switch (op) {
    case Op::Set: return QStringLiteral("Set %1 to %2").arg(where, v);
    case Op::Add: return QStringLiteral("Add %1 to %2").arg(v, where);
    case Op::Subtract: return QStringLiteral("Subtract %1 from %2").arg(v, where);
    case Op::Scale: return QStringLiteral("Scale %1 by %2%").arg(where, v);
    case Op::InterpolateRows: return QStringLiteral("Interpolate %1 across rows").arg(where);
    case Op::InterpolateColumns: return QStringLiteral("Interpolate %1 across columns").arg(where);
    case Op::InterpolateBilinear: return QStringLiteral("Interpolate %1 from the corners").arg(where);
    case Op::Smooth: return QStringLiteral("Smooth %1").arg(where);
    }
    return where;
}

QString Caption(Op op)
{
    switch (op) {
    case Op::Set: return QStringLiteral("Set &Value...");
    case Op::Add: return QStringLiteral("&Add...");
    case Op::Subtract: return QStringLiteral("S&ubtract...");
    case Op::Scale: return QStringLiteral("Sc&ale by Percent...");
    case Op::InterpolateRows: return QStringLiteral("Interpolate Across &Rows");
    case Op::InterpolateColumns: return QStringLiteral("Interpolate Across C&olumns");
    case Op::InterpolateBilinear: return QStringLiteral("Interpolate from Co&rners");
    case Op::Smooth: return QStringLiteral("S&mooth");
    }
    return {};
}

Plan PlanBlock(const Tune &tune, MapKey body, const Rect &rect, Op op, double value)
{
    Plan plan;
    if (!IsBodyMap(body))
        return plan;
    const bool inBody = rect.top >= 1 && rect.left >= 1 && rect.bottom < GridRows && rect.right < GridCols;
    const bool rpmRun = rect.left == 0 && rect.right == 0 && rect.top >= 1 && rect.bottom < GridRows;
    const bool tpRun = rect.top == 0 && rect.bottom == 0 && rect.left >= 1 && rect.right < GridCols;
    if (rect.top > rect.bottom || rect.left > rect.right || !(inBody || rpmRun || tpRun)) {
        plan.message = QStringLiteral("Please select map cells, or cells of one axis only, for this operation.");
        return plan;
    }
    if (op == Op::Smooth && !inBody) {
        plan.message = QStringLiteral("Smoothing works on map cells only.");
        return plan;
    }
    if (!std::isfinite(value)) {
        plan.message = NumericInput::NotNumericMessage();
        return plan;
    }
    const CellPlace place = inBody ? CellPlace::Body : (rpmRun ? CellPlace::RpmAxis : CellPlace::TpAxis);
    const bool timing = IsTimingMap(body);
    const MapKey key = *CellMap(body, place);
    const CVMapInfo &map = tune.map(key);
    auto rawAt = [&](int r, int c) { return map.MapValue(EntryIndexOf(r, c)); };
    auto shown = [&](int r, int c) { return ShownValue(place, rawAt(r, c), timing); };

    // An axis run is interpolated along itself, whichever way was asked.
    Op effective = op;
    if (!inBody && (op == Op::InterpolateRows || op == Op::InterpolateColumns || op == Op::InterpolateBilinear))
        effective = rpmRun ? Op::InterpolateColumns : Op::InterpolateRows;

    auto lerp = [](double a, double b, int i, int n) { return n <= 0 ? a : a + (b - a) * i / n; };
    for (int r = rect.top; r <= rect.bottom; ++r) {
        for (int c = rect.left; c <= rect.right; ++c) {
            const double d = shown(r, c);
            double target = d;
            switch (effective) {
            case Op::Set: target = value; break;
            case Op::Add: target = d + value; break;
            case Op::Subtract: target = d - value; break;
            case Op::Scale: target = d * value / 100.0; break;
            case Op::InterpolateRows:
                target = lerp(shown(r, rect.left), shown(r, rect.right), c - rect.left, rect.right - rect.left);
                break;
            case Op::InterpolateColumns:
                target = lerp(shown(rect.top, c), shown(rect.bottom, c), r - rect.top, rect.bottom - rect.top);
                break;
            case Op::InterpolateBilinear: {
                const double top = lerp(shown(rect.top, rect.left), shown(rect.top, rect.right), c - rect.left,
                                        rect.right - rect.left);
                const double bottom = lerp(shown(rect.bottom, rect.left), shown(rect.bottom, rect.right),
                                           c - rect.left, rect.right - rect.left);
                target = lerp(top, bottom, r - rect.top, rect.bottom - rect.top);
                break;
            }
            case Op::Smooth: {
                double sum = 0;
                int n = 0;
                for (int rr = std::max(1, r - 1); rr <= std::min(GridRows - 1, r + 1); ++rr)
                    for (int cc = std::max(1, c - 1); cc <= std::min(GridCols - 1, c + 1); ++cc) {
                        sum += shown(rr, cc);
                        ++n;
                    }
                target = sum / n;
                break;
            }
            }
            const int oldRaw = rawAt(r, c);
            const int newRaw = EncodeClamped(place, timing, oldRaw, target);
            if (newRaw != oldRaw)
                plan.writes.push_back({r, c, oldRaw, newRaw});
        }
    }
    plan.ok = true;
    plan.label = StepLabel(op, value, rect.cellCount(), MapName(key));
    return plan;
}

} // namespace BlockOps
