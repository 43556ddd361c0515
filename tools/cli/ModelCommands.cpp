// Commands on tune files: show, pack, extract, patch, stock.

#include "CliCommon.h"

#include "model/ImageFile.h"
#include "model/ProjectFile.h"
#include "model/StockPrograms.h"
#include "model/TuneJson.h"

namespace cli {
namespace {

int show(const QStringList &args)
{
    if (args.size() != 1)
        return usage(QStringLiteral("show takes FILE.vnt"));
    Tune tune;
    if (FileOutcome r = ReadProjectFile(args[0], tune); !r)
        return fail(QStringLiteral("Error when attempting to load map: %1").arg(r.error));
    print(TuneToJson(tune));
    return ExitOk;
}

int pack(const QStringList &args)
{
    if (args.size() != 2)
        return usage(QStringLiteral("pack takes IN.json OUT.vnt"));
    QByteArray json;
    if (FileOutcome r = ReadWholeFile(args[0], json); !r)
        return fail(QStringLiteral("%1: %2").arg(args[0], r.error));
    Tune tune;
    QString error;
    if (!TuneFromJson(json, tune, error))
        return fail(QStringLiteral("%1: %2").arg(args[0], error));
    if (FileOutcome w = WriteProjectFile(args[1], tune); !w)
        return fail(QStringLiteral("%1: %2").arg(args[1], w.error));
    return ExitOk;
}

int extract(const QStringList &args)
{
    if (args.size() != 2)
        return usage(QStringLiteral("extract takes IMAGE.bin OUT.vnt"));
    QByteArray image;
    if (FileOutcome r = ReadImageFile(args[0], image); !r)
        return fail(r.error);
    Tune tune;
    TuneFromImage(image, tune);
    if (FileOutcome w = WriteProjectFile(args[1], tune); !w)
        return fail(QStringLiteral("%1: %2").arg(args[1], w.error));
    return ExitOk;
}

int patch(const QStringList &args)
{
    if (args.size() != 3)
        return usage(QStringLiteral("patch takes IN.vnt BASE.bin OUT.bin"));
    Tune tune;
    if (FileOutcome r = ReadProjectFile(args[0], tune); !r)
        return fail(QStringLiteral("Error when attempting to load map: %1").arg(r.error));
    QByteArray base;
    if (FileOutcome r = ReadImageFile(args[1], base); !r)
        return fail(r.error);
    if (FileOutcome w = WriteImageFile(args[2], PatchImage(base, tune)); !w)
        return fail(QStringLiteral("%1: %2").arg(args[2], w.error));
    return ExitOk;
}

int stock(const QStringList &args)
{
    if (args.size() != 2)
        return usage(QStringLiteral("stock takes NUMBER OUT.bin"));
    bool ok = false;
    const int number = args[0].toInt(&ok);
    if (!ok)
        return usage(QStringLiteral("stock: '%1' is not a resource number").arg(args[0]));
    const StockImageResult stockImage = LoadStockImage(number);
    if (stockImage.status != StockImageResult::Ok)
        return fail(stockImage.message());
    if (FileOutcome w = WriteImageFile(args[1], stockImage.image); !w)
        return fail(QStringLiteral("%1: %2").arg(args[1], w.error));
    return ExitOk;
}

} // namespace

int runModelCommand(const QString &command, const QStringList &args, const Options &)
{
    if (command == QLatin1String("show")) return show(args);
    if (command == QLatin1String("pack")) return pack(args);
    if (command == QLatin1String("extract")) return extract(args);
    if (command == QLatin1String("patch")) return patch(args);
    if (command == QLatin1String("stock")) return stock(args);
    return -1;
}

} // namespace cli
