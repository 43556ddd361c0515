#pragma once

#include <QLatin1String>
#include <QString>

#include <concepts>

// "1 cell", "2 cells": a count with the word that fits it.
template <std::integral N>
QString Counted(N n, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}
