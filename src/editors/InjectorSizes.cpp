#include "editors/InjectorSizes.h"

#include "platform/Rounding.h"

namespace {

constexpr int SingleK[InjectorSizes::SizeCount] = {411, 288, 210, 185, 131};

int sizeOfSingleK(int k)
{
    for (int i = 0; i < InjectorSizes::SizeCount; ++i)
        if (SingleK[i] == k)
            return i;
    return -1;
}

} // namespace

QStringList InjectorSizes::SizeNames()
{
    return {QStringLiteral("270cc"), QStringLiteral("370cc"), QStringLiteral("555cc"),
            QStringLiteral("720cc"), QStringLiteral("850cc")};
}

int InjectorKFromSize(int sizeIndex, bool dualFiltration)
{
    if (sizeIndex < 0 || sizeIndex >= InjectorSizes::SizeCount)
        return 0;
    return dualFiltration ? SingleK[sizeIndex] * 2 : SingleK[sizeIndex];
}

int InjectorSizeFromK(int k, bool dualFiltration)
{
    const long long key = dualFiltration ? vnt::RoundHalfEven(k / 2.0) : k;
    const int index = sizeOfSingleK(static_cast<int>(key));
    return index < 0 ? 0 : index;
}

bool IsCustomInjectorK(int k)
{
    if (sizeOfSingleK(k) >= 0)
        return false;
    return !(k % 2 == 0 && sizeOfSingleK(k / 2) >= 0);
}
