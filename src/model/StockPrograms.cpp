#include "model/StockPrograms.h"

#include "platform/ResourceModule.h"


const std::array<StockProgram, 4> &StockPrograms()
{
    static const std::array<StockProgram, 4> programs{{
        {"radioTTAutoFed", "Stock TT Auto Federal", 105},
        {"radioTT5SPFed", "Stock TT 5-Speed Federal", 104},
        {"radioNAAutoFed", "Stock NA Auto Federal", 103},
        {"radioNA5SPFed", "Stock NA 5-Speed Federal", 101},
    }};
    return programs;
}

QString DefaultResourceModulePath()
{
    return ResourceModule::Locate(QLatin1String(ResourceModuleName));
}

QString StockImageResult::message() const
{
    switch (status) {
    case Ok: return {};
    case ModuleMissing: return QStringLiteral("Could not load 'vntres.dll'.");
    case NotFound: return QStringLiteral("Could not find requested resource.");
    case LoadFailed: return QStringLiteral("Could not load requested resource");
    case LockFailed: return QStringLiteral("Could not lock requested resource");
    }
    return {};
}

StockImageResult LoadStockImage(int resourceNumber, const QString &modulePath)
{
    StockImageResult result;
    ResourceModule module;
    if (!module.Load(modulePath)) {
        result.status = StockImageResult::ModuleMissing;
        return result;
    }
    const QString handle = module.FindResource(QStringLiteral("#%1").arg(resourceNumber),
                                               QLatin1String(StockResourceType));
    if (handle.isEmpty()) {
        result.status = StockImageResult::NotFound;
        return result;
    }
    if (!module.LoadResource(handle, result.image)) {
        result.status = StockImageResult::LoadFailed;
        return result;
    }
    // Locking a loaded resource cannot fail here: its bytes are in memory.
    result.status = StockImageResult::Ok;
    return result;
}
