#include "link/WriteReview.h"

#include "link/BoxContents.h"
#include "model/Tune.h"
#include "model/Units.h"

namespace {

constexpr int LowestPlausibleRevLimit = 1000;

QString name(TuneItem item)
{
    return QString::fromLatin1(Info(item).name);
}

// An item holding one value, shown as the general and injector panels show
// it; empty for the items of many values.
QString oneValue(TuneItem item, const QByteArray &bytes)
{
    const TuneItemInfo &info = Info(item);
    if (info.shape == ItemShape::Text) {
        QString text;
        for (char c : bytes)
            text += c == '\0' ? QString() : QString(QChar::fromLatin1(c));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    if (info.shape != ItemShape::Scalar)
        return {};
    return Units::ShownText(info.unit, ValueInBytes(item, bytes, 0).value_or(0));
}

// "12 of 256 cells change": maps count cells, tables entries, 16-bit tables
// their values.
QString countChange(TuneItem item, const QByteArray &held, const QByteArray &now)
{
    const TuneItemInfo &info = Info(item);
    const int total = info.ValueCount();
    int changed = 0;
    for (int i = 0; i < total; ++i)
        if (ValueInBytes(item, held, i) != ValueInBytes(item, now, i))
            ++changed;
    const char *unit = info.shape == ItemShape::MapBody ? "cells" : info.valueWidth == 2 ? "values" : "entries";
    return QStringLiteral("%1: %2 of %3 %4 change").arg(name(item)).arg(changed).arg(total).arg(QLatin1String(unit));
}

QString changeLine(TuneItem item, const QByteArray &held, const QByteArray &now)
{
    const QString before = oneValue(item, held);
    if (before.isEmpty())
        return countChange(item, held, now);
    return QStringLiteral("%1: %2 -> %3%4").arg(name(item), before, oneValue(item, now), Units::Suffix(Info(item).unit));
}

// The first entry of an axis that is not above the one before it.
void checkRises(const Tune &tune, TuneItem item, QStringList &warnings)
{
    const TuneItemInfo &info = Info(item);
    auto shown = [&info](int raw) { return Units::ShownText(info.unit, raw) + Units::Suffix(info.unit); };
    for (int i = 1; i < info.ValueCount(); ++i) {
        const int before = *ItemValue(tune, item, i - 1);
        const int here = *ItemValue(tune, item, i);
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
    for (TuneItem axis : {TuneItem::FUELRPM, TuneItem::TIMINGRPM, TuneItem::FUELTP, TuneItem::TIMINGTP})
        checkRises(tune, axis, warnings);
    const int revLimit = Units::RpmOf(tune.general().RevLimiter());
    if (revLimit < LowestPlausibleRevLimit)
        warnings << QStringLiteral("The rev limiter is %1 RPM, below %2 RPM.").arg(revLimit).arg(LowestPlausibleRevLimit);
    return warnings;
}

WriteReview ReviewWrite(const Tune &tune, const BoxContents &box, const std::vector<TuneItem> &items,
                        const QString &originWarning)
{
    WriteReview review;
    review.nothingKnown = box.KnowsNothing();
    for (TuneItem item : items) {
        if (!Info(item).InBox())
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
