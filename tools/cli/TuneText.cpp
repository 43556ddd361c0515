#include "TuneText.h"

#include "editors/ComparePlan.h"
#include "editors/GridRules.h"
#include "editors/NumericInput.h"
#include "editors/TableRules.h"
#include "model/ImageFile.h"
#include "model/ProjectFile.h"
#include "model/TuneItems.h"
#include "model/Units.h"

#include <QFileInfo>
#include <algorithm>

namespace cli {
namespace {

// A figure in the item's unit as the panels show it, with the unit's name.
QString unitText(ItemUnit unit, int raw)
{
    return NumericInput::PlainNumberText(Units::Shown(unit, raw)) + Units::Suffix(unit);
}

// An open-loop and a closed-loop cell may show the same number (the grid
// tells them apart by colour only), so a closed-loop cell says so: a switch
// of the loop alone is then still a visible change.
QString cellText(int raw, bool timing)
{
    const QString number = QString::number(GridRules::DisplayValue(raw, timing));
    return GridRules::IsOpenLoopValue(raw) ? number : number + QStringLiteral(" closed loop");
}

// The version's five bytes, quoted: blanks that pad it and the zero bytes
// of an erased image stay visible, and no byte can break the line.
QString versionText(const QByteArray &bytes)
{
    QString text(QLatin1Char('"'));
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u == '"' || u == '\\')
            text += QLatin1Char('\\') + QChar(u);
        else if (u >= 0x20 && u < 0x7F)
            text += QChar(u);
        else
            text += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    return text + QLatin1Char('"');
}

QString hexByte(char c)
{
    return QStringLiteral("%1").arg(static_cast<unsigned char>(c), 2, 16, QLatin1Char('0')).toUpper();
}

// What the table panels print under a box: the engine speed it applies at,
// or the sensor voltage for the VQ table.
QString tableLabel(const Tune &tune, TuneItem item, int index)
{
    const CVMapInfo &fuelRpm = tune.map(MapKey::FUELRPM);
    const QString rpm = QStringLiteral(" RPM");
    switch (item) {
    case TuneItem::TTPMin: return TableRules::TTPMinLabel(index) + rpm;
    case TuneItem::TTPMax:
    case TuneItem::TPLimit: return TableRules::RpmLabel(fuelRpm, index) + rpm;
    case TuneItem::IgnitionDuty:
        return (index < TableRules::DwellColumns ? QStringLiteral("charge time, ") : QStringLiteral("dwell angle, "))
            + TableRules::RpmLabel(fuelRpm, index % TableRules::DwellColumns) + rpm;
    case TuneItem::VQ: return TableRules::VQLabel(index);
    default: return QString();
    }
}

} // namespace

FileOutcome readAnyTune(const QString &path, Tune &tune, LoadedTune &loaded)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().toLower();
    loaded.image = suffix == QLatin1String("bin")
        || (suffix != QLatin1String("vnt") && info.isFile() && info.size() >= ImageFormat::Size);
    loaded.warning.clear();
    if (!loaded.image)
        return ReadProjectFile(path, tune, &loaded.warning);
    QByteArray image;
    if (FileOutcome r = ReadImageFile(path, image); !r)
        return r;
    TuneFromImage(image, tune);
    return FileOutcome::success();
}

QStringList differenceLines(const Tune &mine, const Tune &theirs)
{
    QStringList lines;
    for (const ComparePlan::ValueDifference &d : ComparePlan::ValueDifferences(mine, theirs)) {
        const TuneItemInfo &info = Info(d.item);
        QString line = d.itemName;
        if (d.entry.isValid())
            line += QLatin1Char(' ') + d.entry.toString();
        QStringList place;
        if (d.rpm.isValid())
            place << d.rpm.toString() + QStringLiteral(" RPM");
        if (d.load.isValid())
            place << QStringLiteral("load ") + d.load.toString();
        if (!place.isEmpty())
            line += QStringLiteral(" (") + place.join(QStringLiteral(", ")) + QLatin1Char(')');
        QString before = d.mine.toString();
        QString after = d.theirs.toString();
        if (info.shape == ItemShape::Text) {
            before = versionText(mine.general().VersionBytes());
            after = versionText(theirs.general().VersionBytes());
        } else if (info.shape == ItemShape::MapBody) {
            const int index = d.entry.toInt() - 1;
            const bool timing = IsTimingMap(*info.map);
            before = cellText(mine.map(*info.map).MapValue(index), timing);
            after = cellText(theirs.map(*info.map).MapValue(index), timing);
        } else if (!info.map && info.unit != ItemUnit::Raw) {
            // With their unit's name, as the general panel labels them.
            before = unitText(info.unit, ItemValue(mine, d.item, 0).value_or(0));
            after = unitText(info.unit, ItemValue(theirs, d.item, 0).value_or(0));
        }
        lines << line + QStringLiteral(": ") + before + QStringLiteral(" -> ") + after;
    }
    return lines;
}

QStringList rawDifferenceLines(const Tune &mine, const Tune &theirs)
{
    QStringList lines;
    // Every item, the acceleration table too: it is in project files only,
    // but a difference there is a difference between the files.
    for (const TuneItemInfo &info : TuneItems()) {
        const QByteArray a = ItemBytes(mine, info.item);
        const QByteArray b = ItemBytes(theirs, info.item);
        const QString name = QLatin1String(info.name);
        for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
            if (a[i] != b[i])
                lines << QStringLiteral("%1 byte %2: %3 -> %4").arg(name).arg(i).arg(hexByte(a[i]), hexByte(b[i]));
    }
    return lines;
}

QByteArray tuneText(const Tune &tune, bool fromImage)
{
    QString text = fromImage ? QStringLiteral("# Vantrelle tune, from a 32 KB image (its tune regions)\n")
                             : QStringLiteral("# Vantrelle tune, from a project file\n");
    text.reserve(96 * 1024);
    const auto valueLine = [&](const QString &name, const QString &value) {
        text += name + QStringLiteral(" = ") + value + QLatin1Char('\n');
    };
    const auto each = [](ItemShape shape, const auto &write) {
        for (const TuneItemInfo &info : TuneItems())
            if (info.shape == shape)
                write(info, QLatin1String(info.name));
    };
    each(ItemShape::Scalar, [&](const TuneItemInfo &info, const QString &name) {
        valueLine(name, unitText(info.unit, ItemValue(tune, info.item, 0).value_or(0)));
    });
    each(ItemShape::Text, [&](const TuneItemInfo &, const QString &name) {
        valueLine(name, versionText(tune.general().VersionBytes()));
    });
    each(ItemShape::Table, [&](const TuneItemInfo &info, const QString &name) {
        for (int i = 0; i < info.ValueCount(); ++i) {
            const QString label = tableLabel(tune, info.item, i);
            valueLine(name + QLatin1Char(' ') + QString::number(i + 1)
                          + (label.isEmpty() ? QString() : QStringLiteral(" (") + label + QLatin1Char(')')),
                      unitText(info.unit, ItemValue(tune, info.item, i).value_or(0)));
        }
    });
    each(ItemShape::Axis, [&](const TuneItemInfo &info, const QString &name) {
        for (int i = 0; i < info.ValueCount(); ++i)
            valueLine(name + QLatin1Char(' ') + QString::number(i + 1),
                      unitText(info.unit, tune.map(*info.map).MapValue(i)));
    });
    each(ItemShape::MapBody, [&](const TuneItemInfo &info, const QString &name) {
        const MapKey body = *info.map;
        for (int i = 0; i < info.ValueCount(); ++i)
            valueLine(cellPlace(name, tune, body, i), cellText(tune.map(body).MapValue(i), IsTimingMap(body)));
    });
    return text.toUtf8();
}

QString cellPlace(const QString &mapName, const Tune &tune, MapKey body, int entry)
{
    const int row = entry / 16;
    const int col = entry % 16;
    return QStringLiteral("%1 row %2 col %3 (%4 RPM, load %5)")
        .arg(mapName)
        .arg(row + 1)
        .arg(col + 1)
        .arg(Units::RpmOf(tune.map(RpmAxisOf(body)).MapValue(row)))
        .arg(tune.map(TpAxisOf(body)).MapValue(col));
}

} // namespace cli
