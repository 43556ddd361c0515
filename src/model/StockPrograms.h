#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// The four stock programs shipped in the resource module "vntres.dll", in the
// order the stock-program dialog lists them.
struct StockProgram
{
    const char *option;  // option button
    const char *caption;
    int resource;        // resource number, type "AUTOBIN"
};

const std::array<StockProgram, 4> &StockPrograms();

inline constexpr const char *ResourceModuleName = "vntres.dll";
inline constexpr const char *StockResourceType = "AUTOBIN";

// The module in the program's own folder, else in the installed data folder
// (ResourceModule::Locate).
QString DefaultResourceModulePath();

struct StockImageResult
{
    enum Status { Ok, ModuleMissing, NotFound, LoadFailed, LockFailed };
    Status status = ModuleMissing;
    QByteArray image;
    // The message the user sees for a failure.
    QString message() const;
};

// Looks the stock image up in the module step by step: load the module, find
// resource "#number" of type "AUTOBIN", load it, lock it.
StockImageResult LoadStockImage(int resourceNumber, const QString &modulePath = DefaultResourceModulePath());
