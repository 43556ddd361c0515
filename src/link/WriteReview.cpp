#include "link/WriteReview.h"

#include "link/BoxContents.h"
#include "model/Tune.h"
#include "model/TuneItems.h"

namespace {

constexpr int RpmPerUnit = 50; // RPM values are stored as RPM / 50
constexpr double MphPerUnit = 1.24;
constexpr int LowestPlausibleRevLimit = 1000;

int byteAt(const QByteArray &bytes, int i)
{
    return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0;
}

QString name(int item)
{
    const TuneItem *info = FindTuneItem(item);
    return info ? QString::fromLatin1(info->name) : QString::number(item);
}

// An item holding one value, shown as the general and injector panels show it.
QString oneValue(int item, const QByteArray &bytes)
{
    switch (item) {
    case 11: case 16: return QString::number(byteAt(bytes, 0) * RpmPerUnit);
    case 12: return QString::number(byteAt(bytes, 0) * MphPerUnit);
    case 13: return QString::number(byteAt(bytes, 0) * 256 + byteAt(bytes, 1));
    case 14: case 15: return QString::number(byteAt(bytes, 0));
    case 17: {
        QString text;
        for (char c : bytes)
            text += c == '\0' ? QString() : QString(QChar::fromLatin1(c));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    default: return {};
    }
}

// "12 of 256 cells change": maps count cells, tables entries, the VQ table
// its 16-bit values.
QString countChange(int item, const QByteArray &held, const QByteArray &now)
{
    const int width = item == 23 ? 2 : 1;
    const int total = static_cast<int>(now.size()) / width;
    int changed = 0;
    for (int i = 0; i < total; ++i)
        if (held.mid(i * width, width) != now.mid(i * width, width))
            ++changed;
    const bool map = now.size() == 256;
    const char *unit = map ? "cells" : item == 23 ? "values" : "entries";
    return QStringLiteral("%1: %2 of %3 %4 change").arg(name(item)).arg(changed).arg(total).arg(QLatin1String(unit));
}

QString changeLine(int item, const QByteArray &held, const QByteArray &now)
{
    const QString before = oneValue(item, held);
    if (before.isEmpty())
        return countChange(item, held, now);
    const QString unit = item == 11 || item == 16 ? QStringLiteral(" RPM") : item == 12 ? QStringLiteral(" MPH") : QString();
    return QStringLiteral("%1: %2 -> %3%4").arg(name(item), before, oneValue(item, now), unit);
}

// The first entry of an axis that is not above the one before it.
void checkRises(const Tune &tune, int item, bool rpm, QStringList &warnings)
{
    const QByteArray axis = ItemBytes(tune, item);
    auto shown = [rpm](int raw) {
        return rpm ? QStringLiteral("%1 RPM").arg(raw * RpmPerUnit) : QString::number(raw);
    };
    for (int i = 1; i < axis.size(); ++i) {
        const int before = byteAt(axis, i - 1);
        const int here = byteAt(axis, i);
        if (here <= before) {
            warnings << QStringLiteral("%1 does not rise: entry %2 (%3) is not above entry %4 (%5).")
                            .arg(name(item)).arg(i + 1).arg(shown(here)).arg(i).arg(shown(before));
            return;
        }
    }
}

} // namespace

QStringList TuneWarnings(const Tune &tune, const QString &originWarning)
{
    QStringList warnings;
    if (!originWarning.trimmed().isEmpty())
        warnings << QStringLiteral("The tune was loaded from a doubtful file: %1").arg(originWarning.trimmed());
    checkRises(tune, 5, true, warnings);
    checkRises(tune, 9, true, warnings);
    checkRises(tune, 6, false, warnings);
    checkRises(tune, 10, false, warnings);
    const int revLimit = byteAt(ItemBytes(tune, 11), 0) * RpmPerUnit;
    if (revLimit < LowestPlausibleRevLimit)
        warnings << QStringLiteral("The rev limiter is %1 RPM, below %2 RPM.").arg(revLimit).arg(LowestPlausibleRevLimit);
    return warnings;
}

WriteReview ReviewWrite(const Tune &tune, const BoxContents &box, const std::vector<int> &items,
                        const QString &originWarning)
{
    WriteReview review;
    review.nothingKnown = true;
    for (int item : BoxContents::FullWalk())
        if (box.Knows(item))
            review.nothingKnown = false;
    for (int item : items) {
        if (!IsTransferredItem(item))
            continue;
        const QByteArray now = ItemBytes(tune, item);
        const std::optional<QByteArray> held = box.Held(item);
        if (!held)
            review.unknown << name(item);
        else if (*held == now)
            ++review.unchanged;
        else
            review.changes << changeLine(item, *held, now);
    }
    review.warnings = TuneWarnings(tune, originWarning);
    return review;
}

QString WriteReview::Text() const
{
    QStringList lines;
    if (!changes.isEmpty()) {
        lines << QStringLiteral("Changes against what the Vantrelle is known to hold:");
        for (const QString &c : changes)
            lines << QStringLiteral("    ") + c;
    }
    if (!unknown.isEmpty()) {
        if (nothingKnown)
            lines << QStringLiteral("What the Vantrelle holds is not known (nothing was read from it or written "
                                    "to it since connecting): all %1 items are written whole.")
                         .arg(unknown.size());
        else
            lines << QStringLiteral("Not known to be in the Vantrelle, written whole: ") + unknown.join(QStringLiteral(", "));
    }
    if (unchanged > 0) {
        if (changes.isEmpty() && unknown.isEmpty())
            lines << QStringLiteral("The Vantrelle already holds every item as the tune has it.");
        else
            lines << (unchanged == 1 ? QStringLiteral("Already in the Vantrelle as it is: 1 item")
                                     : QStringLiteral("Already in the Vantrelle as they are: %1 items").arg(unchanged));
    }
    if (!warnings.isEmpty()) {
        if (!lines.isEmpty())
            lines << QString();
        lines << QStringLiteral("Warnings:");
        for (const QString &w : warnings)
            lines << QStringLiteral("    ") + w;
    }
    return lines.join(QLatin1Char('\n'));
}
