#pragma once

#include <QString>

class QDoubleSpinBox;
class QTableWidget;
class QWidget;

// The pieces the fuel correction dialog is built of.
namespace FuelCorrectionForm {

inline const QString NoColumn = QStringLiteral("(choose the column)");
inline const QString NoCoolant = QStringLiteral("(none)");

// A 16 x 16 grid of the map's cells.
QTableWidget *makeGrid(QWidget *parent, const char *name);
QDoubleSpinBox *numberSpin(QWidget *parent, const char *name, double low, double high, int decimals, double value);
// Two controls on one line with a caption between them.
QWidget *pair(QWidget *parent, QWidget *first, const QString &between, QWidget *second);

} // namespace FuelCorrectionForm
