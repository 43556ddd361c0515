#include "editors/GridClipboard.h"

#include "editors/NumericInput.h"
#include "model/Tune.h"
#include "model/Units.h"
#include "platform/Counted.h"

#include <QRegularExpression>

using namespace GridRules;

namespace GridClipboard {

namespace {

QString shownText(const Tune &tune, MapKey body, int row, int col)
{
    const CellPlace place = PlaceOf(row, col);
    const std::optional<MapKey> key = CellMap(body, place);
    if (!key)
        return QString();
    return CellText(place, tune.map(*key).MapValue(EntryIndexOf(row, col)), IsTimingMap(body));
}

} // namespace

QString CopyText(const Tune &tune, MapKey body, const BlockOps::Rect &rect)
{
    QString out;
    for (int r = rect.top; r <= rect.bottom; ++r) {
        QStringList fields;
        for (int c = rect.left; c <= rect.right; ++c)
            fields << shownText(tune, body, r, c);
        out += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out;
}

QString MapText(const Tune &tune, MapKey body)
{
    return CopyText(tune, body, {0, 0, GridRows - 1, GridCols - 1});
}

std::vector<QStringList> ParseTable(const QString &text)
{
    std::vector<QStringList> rows;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (const QString &line : lines) {
        const QChar sep = line.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(',');
        QStringList fields = line.split(sep);
        for (QString &f : fields)
            f = f.trimmed();
        rows.push_back(fields);
    }
    while (!rows.empty() && rows.back().join(QString()).isEmpty())
        rows.pop_back();
    return rows;
}

QString CellName(const Tune &tune, MapKey body, int row, int col)
{
    switch (PlaceOf(row, col)) {
    case CellPlace::RpmAxis: return QStringLiteral("RPM axis row %1").arg(row);
    case CellPlace::TpAxis: return QStringLiteral("TP axis column %1").arg(col);
    case CellPlace::Body:
        if (IsBodyMap(body))
            return QStringLiteral("RPM %1, TP %2")
                .arg(Units::RpmOf(tune.map(RpmAxisOf(body)).MapValue(row - 1)))
                .arg(tune.map(TpAxisOf(body)).MapValue(col - 1));
        break;
    default: break;
    }
    return QStringLiteral("row %1, column %2").arg(row).arg(col);
}

BlockOps::Plan PlanPaste(const Tune &tune, MapKey body, int row, int col, const std::vector<QStringList> &table)
{
    BlockOps::Plan plan;
    const QString refused = QStringLiteral("Nothing was pasted.  ");
    if (!IsBodyMap(body))
        return plan;
    if (table.empty()) {
        plan.message = refused + QStringLiteral("The clipboard holds no values.");
        return plan;
    }
    const bool timing = IsTimingMap(body);
    int count = 0;
    for (int i = 0; i < static_cast<int>(table.size()); ++i) {
        for (int j = 0; j < table[i].size(); ++j) {
            const int r = row + i;
            const int c = col + j;
            const CellPlace place = PlaceOf(r, c);
            if (place == CellPlace::Outside) {
                plan.message = refused
                    + QStringLiteral("The pasted block of %1 rows and %2 columns does not fit into the map at the "
                                     "current cell.")
                          .arg(table.size())
                          .arg(table[i].size());
                plan.writes.clear();
                return plan;
            }
            if (place == CellPlace::Corner)
                continue;
            const QString &field = table[i][j];
            const QString cellText = refused + QStringLiteral("The value \"%1\" for %2 is not valid.  ")
                                                   .arg(field, CellName(tune, body, r, c));
            const std::optional<double> value = NumericInput::ParseDecimalText(field, true);
            if (!value) {
                plan.message = cellText + NumericInput::NotNumericMessage();
                plan.writes.clear();
                return plan;
            }
            const CVMapInfo &map = tune.map(*CellMap(body, place));
            const int oldRaw = map.MapValue(EntryIndexOf(r, c));
            const CellCommit commit = CommitCellValue(place, timing, oldRaw, *value);
            if (!commit.accepted) {
                plan.message = cellText + NumericInput::RangeMessage(commit.low, commit.high);
                plan.writes.clear();
                return plan;
            }
            ++count;
            if (commit.newRaw != oldRaw)
                plan.writes.push_back({r, c, oldRaw, commit.newRaw});
        }
    }
    plan.ok = true;
    const QString what = Counted(count, "cell", "cells");
    plan.label = QStringLiteral("Paste %1 into %2").arg(what, BlockOps::MapName(body));
    return plan;
}

} // namespace GridClipboard
