// Commands that print tunes as text: diff (the values two tunes differ in)
// and textconv (the whole tune, one value a line, for git diff).

#include "CliCommon.h"
#include "TuneText.h"

#include "model/Tune.h"

namespace cli {
namespace {

// Reads either kind of tune file. A file that cannot be read ends the
// command with status 2, as diff(1) does: 1 already means "they differ".
bool load(const QString &path, Tune &tune, bool &image)
{
    LoadedTune loaded;
    if (FileOutcome r = readAnyTune(path, tune, loaded); !r) {
        fail(r.error);
        return false;
    }
    if (!loaded.warning.isEmpty())
        warn(loaded.warning);
    image = loaded.image;
    return true;
}

int diff(const QStringList &args, const Options &options)
{
    if (args.size() != 2)
        return usage(QStringLiteral("diff takes A B (each a project file or a raw image)"));
    Tune mine;
    Tune theirs;
    bool image = false;
    if (!load(args[0], mine, image) || !load(args[1], theirs, image))
        return ExitUsage;
    const QStringList lines = options.raw ? rawDifferenceLines(mine, theirs) : differenceLines(mine, theirs);
    if (lines.isEmpty())
        return ExitOk;
    print((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return ExitFailure;
}

int textconv(const QStringList &args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("textconv takes FILE (a project file or a raw image)"));
    Tune tune;
    bool image = false;
    if (!load(args[0], tune, image))
        return ExitUsage;
    print(tuneText(tune, image));
    return ExitOk;
}

} // namespace

int runTuneTextCommand(const QString &command, const QStringList &args, const Options &options)
{
    if (command == QLatin1String("diff")) return diff(args, options);
    if (command == QLatin1String("textconv")) return textconv(args);
    return -1;
}

} // namespace cli
