// Commands on tune files: show, pack, extract, patch, stock.

#include "CliCommon.h"

#include "model/ImageFile.h"
#include "model/ProjectFile.h"
#include "model/StockPrograms.h"
#include "model/TuneJson.h"

namespace cli {

bool readProjectToPassOn(const QString &path, const Options &options, Tune &tune, int &status)
{
    QString warning;
    if (FileOutcome r = ReadProjectFile(path, tune, &warning); !r) {
        status = fail(QStringLiteral("Error when attempting to load map: %1").arg(r.error));
        return false;
    }
    if (warning.isEmpty())
        return true;
    if (!options.force) {
        status = fail(warning + QStringLiteral(" Nothing was done; give --force to use it anyway."));
        return false;
    }
    warn(warning);
    return true;
}

namespace {

// Far more than the pretty-printed JSON of any tune, and a bound on what a
// wrong file can make the tool read.
constexpr qint64 MaxJsonBytes = 1 << 20;

int show(const QStringList &args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("show takes FILE.vnt"));
    Tune tune;
    QString warning;
    if (FileOutcome r = ReadProjectFile(args[0], tune, &warning); !r)
        return fail(QStringLiteral("Error when attempting to load map: %1").arg(r.error));
    if (!warning.isEmpty())
        warn(warning);
    print(TuneToJson(tune));
    return ExitOk;
}

int pack(const QStringList &args)
{
    if (args.size() != 2)
        return usage(QStringLiteral("pack takes IN.json OUT.vnt"));
    if (FileOutcome out = CheckOutputFile(args[1], {args[0]}); !out)
        return fail(out.error);
    QByteArray json;
    if (FileOutcome r = ReadFileHead(args[0], MaxJsonBytes + 1, json); !r)
        return fail(r.error);
    if (json.size() > MaxJsonBytes)
        return fail(QStringLiteral("%1: larger than %2 bytes, too large for a tune in JSON").arg(args[0]).arg(MaxJsonBytes));
    Tune tune;
    QString error;
    if (!TuneFromJson(json, tune, error))
        return fail(QStringLiteral("%1: %2").arg(args[0], error));
    if (FileOutcome w = WriteProjectFile(args[1], tune); !w)
        return fail(w.error);
    return ExitOk;
}

// For a file refused only for being longer than an image.
QString longerHint(const QString &path)
{
    return LongerThanAnImage(path) >= 0 ? QStringLiteral(" Give --force to take its first 32768 bytes as the image.")
                                        : QString();
}

int extract(const QStringList &args, const Options &options)
{
    if (args.size() != 2)
        return usage(QStringLiteral("extract takes IMAGE.bin OUT.vnt"));
    if (FileOutcome out = CheckOutputFile(args[1], {args[0]}); !out)
        return fail(out.error);
    QByteArray image;
    if (FileOutcome r = ReadImageFile(args[0], image, options.force); !r)
        return fail(r.error + longerHint(args[0]));
    Tune tune;
    TuneFromImage(image, tune);
    if (FileOutcome w = WriteProjectFile(args[1], tune); !w)
        return fail(w.error);
    return ExitOk;
}

int patch(const QStringList &args, const Options &options)
{
    if (args.size() != 3)
        return usage(QStringLiteral("patch takes IN.vnt BASE.bin OUT.bin"));
    if (FileOutcome out = CheckOutputFile(args[2], {args[0], args[1]}); !out)
        return fail(out.error);
    Tune tune;
    int status = ExitFailure;
    if (!readProjectToPassOn(args[0], options, tune, status))
        return status;
    QByteArray base;
    if (FileOutcome r = ReadImageFile(args[1], base, options.force); !r)
        return fail(r.error + longerHint(args[1]));
    if (FileOutcome w = WriteImageFile(args[2], PatchImage(base, tune)); !w)
        return fail(w.error);
    return ExitOk;
}

int stock(const QStringList &args)
{
    if (args.size() != 2)
        return usage(QStringLiteral("stock takes NUMBER OUT.bin"));
    if (FileOutcome out = CheckOutputFile(args[1], {DefaultResourceModulePath()}); !out)
        return fail(out.error);
    bool ok = false;
    const int number = args[0].toInt(&ok);
    if (!ok)
        return usage(QStringLiteral("stock: '%1' is not a resource number").arg(args[0]));
    const StockImageResult stockImage = LoadStockImage(number);
    if (stockImage.status != StockImageResult::Ok)
        return fail(stockImage.message());
    if (FileOutcome w = WriteImageFile(args[1], stockImage.image); !w)
        return fail(w.error);
    return ExitOk;
}

} // namespace

int runModelCommand(const QString &command, const QStringList &args, const Options &options)
{
    if (command == QLatin1String("show")) return show(args);
    if (command == QLatin1String("pack")) return pack(args);
    if (command == QLatin1String("extract")) return extract(args, options);
    if (command == QLatin1String("patch")) return patch(args, options);
    if (command == QLatin1String("stock")) return stock(args);
    return -1;
}

} // namespace cli
