#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>

// How a note from another tool (the map overlay's counts and averages) sits
// in a grid cell without hiding the cell's own value: the value stands at the
// right, so the note takes the room left of it, in the grid's own font. The
// note offers several forms, longest first; the first that fits is drawn,
// and when none does a bullet says that the cell has one (the full figures
// are in the cell's tooltip).
namespace CellNoteFit {

inline const QString Bullet = QStringLiteral("\u2022");

// forms: longest first. room: pixels free left of the value. width: a
// text's width in pixels in the grid's font.
QString Choose(const QStringList &forms, int room, const std::function<int(const QString &)> &width);

// Whether the note's box is dark (with light text) on a cell of this colour
// (0xRRGGBB): a dark box on light cells, a light one on dark cells, so the
// note always stands out from the cell colour.
bool DarkBoxOn(quint32 rgb);

} // namespace CellNoteFit
