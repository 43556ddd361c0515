#pragma once

#include <QString>
#include <QStringList>

// The injector sizes offered by the injector panel and their constants K.
// Dual filtration doubles K; a K that is neither a size's K nor its double is
// a custom K.
namespace InjectorSizes {

inline constexpr int SizeCount = 5;

// "270cc", "370cc", "555cc", "720cc", "850cc".
QStringList SizeNames();

} // namespace InjectorSizes

// K of a size list index, doubled for dual filtration; 0 for any other index.
int InjectorKFromSize(int sizeIndex, bool dualFiltration);
// The size list index of K: with dual filtration K is halved first (R, ties
// to even); 0 when K is no size's K.
int InjectorSizeFromK(int k, bool dualFiltration);
// True when K is none of the five sizes' K nor their doubles. The doubled
// test compares K / 2 exactly, so an odd K never matches.
bool IsCustomInjectorK(int k);
