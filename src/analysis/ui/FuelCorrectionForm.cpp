// The fuel correction dialog's settings: the filters, the delay and the
// target table, and the settings they make.

#include "analysis/ui/FuelCorrectionDialog.h"
#include "analysis/ui/FuelCorrectionForm.h"

#include "analysis/ui/DatalogViewer.h"
#include "model/ProgramState.h"
#include "model/Units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>

#include <cmath>

namespace FuelCorrectionForm {

QTableWidget *makeGrid(QWidget *parent, const char *name)
{
    auto *grid = new QTableWidget(16, 16, parent);
    grid->setObjectName(QLatin1String(name));
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return grid;
}

QDoubleSpinBox *numberSpin(QWidget *parent, const char *name, double low, double high, int decimals, double value)
{
    auto *spin = new QDoubleSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(low, high);
    spin->setDecimals(decimals);
    spin->setValue(value);
    return spin;
}

QWidget *pair(QWidget *parent, QWidget *first, const QString &between, QWidget *second)
{
    auto *box = new QWidget(parent);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(first);
    row->addWidget(new QLabel(between, box));
    row->addWidget(second);
    row->addStretch(1);
    return box;
}


} // namespace FuelCorrectionForm

using namespace FuelCorrectionForm;

void FuelCorrectionDialog::buildFilters(QFormLayout *form)
{
    const FuelCorrection::Settings &s = m_settings;
    spinCap = numberSpin(this, "spinCap", FuelCorrection::MaxChangeLow, FuelCorrection::MaxChangeHigh, 1,
                         s.maxChangePercent);
    spinCap->setSuffix(QStringLiteral(" %"));
    form->addRow(QStringLiteral("Most a cell's fuel may change per pass:"), spinCap);
    spinTransient = numberSpin(this, "spinTransient", 0, 255, 1, s.transientTp);
    form->addRow(QStringLiteral("Transient: TP change between samples above:"), spinTransient);
    spinClosedThrottle = numberSpin(this, "spinClosedThrottle", 0, 255, 1, s.closedThrottleTp);
    spinFalling = numberSpin(this, "spinFalling", 0, 255, 1, s.fallingTp);
    form->addRow(QStringLiteral("Closed throttle: TP below:"),
                 pair(this, spinClosedThrottle, QStringLiteral("   Decelerating: TP falling by more than:"), spinFalling));
    comboCoolant = new QComboBox(this);
    comboCoolant->setObjectName(QStringLiteral("comboCoolant"));
    comboCoolant->addItem(NoCoolant);
    const DataLog &log = m_viewer.log();
    for (int c = 0; c < log.columnCount(); ++c)
        comboCoolant->addItem(log.names[c]);
    comboCoolant->setCurrentIndex(std::max(0, log.columnIndex(s.coolantColumn) + 1));
    spinMinCoolant = numberSpin(this, "spinMinCoolant", -50, 200, 1, s.minCoolant);
    form->addRow(QStringLiteral("Warm-up: coolant column:"),
                 pair(this, comboCoolant, QStringLiteral("below:"), spinMinCoolant));
    spinAfrLow = numberSpin(this, "spinAfrLow", FuelCorrection::TargetLow, FuelCorrection::TargetHigh, 1, s.afrLow);
    spinAfrHigh = numberSpin(this, "spinAfrHigh", FuelCorrection::TargetLow, FuelCorrection::TargetHigh, 1, s.afrHigh);
    form->addRow(QStringLiteral("Sensor's range, AFR (its ends are no reading):"),
                 pair(this, spinAfrLow, QStringLiteral("to"), spinAfrHigh));
    spinDelay = numberSpin(this, "spinDelay", 0, FuelCorrection::MaxDelayMs, 0, std::max(0.0, s.delayMs));
    spinDelay->setSuffix(QStringLiteral(" ms"));
    checkDelayAuto = new QCheckBox(QStringLiteral("estimate from the log"), this);
    checkDelayAuto->setObjectName(QStringLiteral("checkDelayAuto"));
    checkDelayAuto->setChecked(s.delayMs < 0);
    spinDelay->setEnabled(!checkDelayAuto->isChecked());
    connect(checkDelayAuto, &QCheckBox::toggled, spinDelay, [this](bool on) { spinDelay->setEnabled(!on); });
    form->addRow(QStringLiteral("Delay from the fuel burned to its reading:"),
                 pair(this, spinDelay, QStringLiteral("or"), checkDelayAuto));
}

void FuelCorrectionDialog::fillHeaders(QTableWidget *grid) const
{
    const Tune &tune = m_state.tune;
    QStringList rows, cols;
    for (int i = 0; i < 16; ++i) {
        rows << QString::number(Units::RpmOf(tune.map(MapKey::FUELRPM).MapValue(i)));
        cols << QString::number(tune.map(MapKey::FUELTP).MapValue(i));
    }
    grid->setVerticalHeaderLabels(rows);
    grid->setHorizontalHeaderLabels(cols);
}

void FuelCorrectionDialog::fillTargets(const FuelCorrection::TargetTable &targets)
{
    m_filling = true;
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 16; ++c) {
            auto *item = new QTableWidgetItem(QString::number(targets.at(r, c)));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            gridTarget->setItem(r, c, item);
        }
    m_filling = false;
}

void FuelCorrectionDialog::targetEdited(int row, int col)
{
    if (m_filling)
        return;
    QTableWidgetItem *item = gridTarget->item(row, col);
    const std::size_t e = static_cast<std::size_t>(row * 16 + col);
    bool ok = false;
    const double v = item ? item->text().trimmed().toDouble(&ok) : 0;
    m_filling = true;
    if (ok && std::isfinite(v) && v >= FuelCorrection::TargetLow && v <= FuelCorrection::TargetHigh) {
        m_settings.targets.afr[e] = v;
        m_filling = false;
        withdrawProposal(); // computed against the old target
        m_filling = true;
    } else if (item) {
        item->setText(QString::number(m_settings.targets.afr[e]));
        lblStatus->setText(QStringLiteral("Please enter a valid value between %1 and %2")
                               .arg(FuelCorrection::TargetLow)
                               .arg(FuelCorrection::TargetHigh));
    }
    m_filling = false;
}

FuelCorrection::Settings FuelCorrectionDialog::settings() const
{
    FuelCorrection::Settings s = m_settings;
    s.map = static_cast<MapKey>(comboMap->currentData().toInt());
    // A column remembered from another log that this one lacks stays
    // remembered: "(none)" here is no choice against it.
    const DataLog &log = source();
    const auto column = [&log](const QComboBox *combo, const QString &remembered) {
        if (combo->currentIndex() > 0)
            return combo->currentText();
        return log.columnIndex(remembered) < 0 ? remembered : QString();
    };
    s.afrColumn = column(comboAFR, m_settings.afrColumn);
    s.afrFormula = editFormula->text().trimmed();
    s.minSamples = spinMinSamples->value();
    s.transientTp = spinTransient->value();
    s.maxChangePercent = spinCap->value();
    s.closedThrottleTp = spinClosedThrottle->value();
    s.fallingTp = spinFalling->value();
    s.coolantColumn = column(comboCoolant, m_settings.coolantColumn);
    s.minCoolant = spinMinCoolant->value();
    // A range given upside down is read the right way round.
    s.afrLow = std::min(spinAfrLow->value(), spinAfrHigh->value());
    s.afrHigh = std::max(spinAfrLow->value(), spinAfrHigh->value());
    s.delayMs = checkDelayAuto->isChecked() ? -1.0 : spinDelay->value();
    s.locked = m_locked;
    return s;
}

