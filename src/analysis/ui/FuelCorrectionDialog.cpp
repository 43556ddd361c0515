#include "analysis/ui/FuelCorrectionDialog.h"

#include "analysis/ui/DatalogViewer.h"
#include "editors/GridRules.h"
#include "model/ProgramState.h"
#include "platform/SettingsStore.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

QTableWidget *makeGrid(QWidget *parent, const char *name)
{
    auto *grid = new QTableWidget(16, 16, parent);
    grid->setObjectName(QLatin1String(name));
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return grid;
}

} // namespace

FuelCorrectionDialog::FuelCorrectionDialog(const ProgramState &state, SettingsStore &store, const DatalogViewer &viewer,
                                     Applier apply, QWidget *parent)
    : QDialog(parent), m_state(state), m_store(store), m_viewer(viewer), m_apply(std::move(apply))
{
    setObjectName(QStringLiteral("FuelCorrectionDialog"));
    setWindowTitle(QStringLiteral("Fuel Correction from Log"));
    m_settings = FuelCorrection::LoadSettings(m_store);

    auto *layout = new QVBoxLayout(this);
    auto *rule = new QLabel(FuelCorrection::RuleText(), this);
    rule->setObjectName(QStringLiteral("lblRule"));
    rule->setWordWrap(true);
    layout->addWidget(rule);

    auto *form = new QFormLayout;
    comboMap = new QComboBox(this);
    comboMap->setObjectName(QStringLiteral("comboMap"));
    for (const MapCatalogueEntry &e : MapCatalogue())
        if (IsFuelMap(e.key))
            comboMap->addItem(QLatin1String(e.name), static_cast<int>(e.key));
    comboMap->setCurrentIndex(std::max(0, comboMap->findData(static_cast<int>(m_settings.map))));
    form->addRow(QStringLiteral("Fuel map:"), comboMap);

    comboAFR = new QComboBox(this);
    comboAFR->setObjectName(QStringLiteral("comboAFR"));
    const DataLog &log = viewer.log();
    for (int c = 0; c < log.columnCount(); ++c)
        comboAFR->addItem(log.names[c]);
    int afr = log.columnIndex(m_settings.afrColumn);
    for (int c = 0; afr < 0 && c < log.columnCount(); ++c) {
        const QString n = log.names[c].toUpper();
        if (n.contains(QLatin1String("AFR")) || n.contains(QLatin1String("LAMBDA")) || n.contains(QLatin1String("WIDEBAND"))
            || n.contains(QLatin1String("O2")))
            afr = c;
    }
    comboAFR->setCurrentIndex(afr);
    form->addRow(QStringLiteral("Air-fuel ratio column:"), comboAFR);

    editFormula = new QLineEdit(m_settings.afrFormula, this);
    editFormula->setObjectName(QStringLiteral("editFormula"));
    editFormula->setPlaceholderText(QStringLiteral("empty: the column is the ratio; e.g. V*14.7 for lambda"));
    form->addRow(QStringLiteral("Formula (V = logged value):"), editFormula);

    spinMinSamples = new QSpinBox(this);
    spinMinSamples->setObjectName(QStringLiteral("spinMinSamples"));
    spinMinSamples->setRange(1, 1000000);
    spinMinSamples->setValue(m_settings.minSamples);
    form->addRow(QStringLiteral("Samples needed per cell:"), spinMinSamples);

    spinTransient = new QDoubleSpinBox(this);
    spinTransient->setObjectName(QStringLiteral("spinTransient"));
    spinTransient->setRange(0, 255);
    spinTransient->setDecimals(1);
    spinTransient->setValue(m_settings.transientTp);
    form->addRow(QStringLiteral("Transient: TP change between samples above:"), spinTransient);
    layout->addLayout(form);

    auto *tabs = new QTabWidget(this);
    gridProposal = makeGrid(tabs, "gridProposal");
    gridProposal->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridTarget = makeGrid(tabs, "gridTarget");
    tabs->addTab(gridProposal, QStringLiteral("Proposal (current -> new)"));
    tabs->addTab(gridTarget, QStringLiteral("Target AFR"));
    layout->addWidget(tabs, 1);
    fillHeaders(gridProposal);
    fillHeaders(gridTarget);
    fillTargets(m_settings.targets);
    connect(gridTarget, &QTableWidget::cellChanged, this, &FuelCorrectionDialog::targetEdited);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    layout->addWidget(lblStatus);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *computeButton = buttons->addButton(QStringLiteral("&Compute"), QDialogButtonBox::ActionRole);
    computeButton->setObjectName(QStringLiteral("cmdCompute"));
    QPushButton *all = buttons->addButton(QStringLiteral("Select All &Changes"), QDialogButtonBox::ActionRole);
    all->setObjectName(QStringLiteral("cmdSelectAll"));
    QPushButton *applyButton = buttons->addButton(QStringLiteral("&Apply Selected"), QDialogButtonBox::ApplyRole);
    applyButton->setObjectName(QStringLiteral("cmdApply"));
    QPushButton *close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(computeButton, &QPushButton::clicked, this, [this] { compute(); });
    connect(all, &QPushButton::clicked, this, &FuelCorrectionDialog::selectAllChanges);
    connect(applyButton, &QPushButton::clicked, this, [this] { applySelected(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(1000, 760);
    compute();
}

FuelCorrectionDialog::~FuelCorrectionDialog()
{
    FuelCorrection::SaveSettings(m_store, settings());
}

void FuelCorrectionDialog::fillHeaders(QTableWidget *grid) const
{
    const Tune &tune = m_state.tune;
    QStringList rows, cols;
    for (int i = 0; i < 16; ++i) {
        rows << QString::number(tune.map(MapKey::FUELRPM).MapValue(i) * 50);
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
        lblStatus->setText(QString());
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
    s.afrColumn = comboAFR->currentText();
    s.afrFormula = editFormula->text().trimmed();
    s.minSamples = spinMinSamples->value();
    s.transientTp = spinTransient->value();
    return s;
}

bool FuelCorrectionDialog::compute()
{
    m_settings = settings();
    FuelCorrection::SaveSettings(m_store, m_settings);
    m_proposal = FuelCorrection::Compute(m_viewer.log(), m_state.tune, m_settings);
    showProposal();
    if (!m_proposal.error.isEmpty()) {
        lblStatus->setText(m_proposal.error);
        return false;
    }
    int changes = 0;
    for (const auto &c : m_proposal.cells)
        changes += c.changes() ? 1 : 0;
    lblStatus->setText(QStringLiteral("%1 samples used, %2 left out as transients, %3 without RPM, TP or ratio; "
                                      "%4 cells would change.")
                           .arg(m_proposal.used)
                           .arg(m_proposal.transients)
                           .arg(m_proposal.unusable)
                           .arg(changes));
    return true;
}

void FuelCorrectionDialog::showProposal()
{
    const bool any = m_proposal.error.isEmpty();
    for (int e = 0; e < 256; ++e) {
        const FuelCorrection::CellProposal &c = m_proposal.cells[static_cast<std::size_t>(e)];
        const int current = any ? c.currentRaw : m_state.tune.map(m_settings.map).MapValue(e);
        QString text = GridRules::CellText(GridRules::CellPlace::Body, current, false);
        QString tip;
        QColor back;
        switch (any ? c.status : FuelCorrection::CellStatus::NoSamples) {
        case FuelCorrection::CellStatus::NoSamples:
            tip = QStringLiteral("No samples");
            break;
        case FuelCorrection::CellStatus::TooFewSamples:
            tip = QStringLiteral("%1 samples: too few").arg(c.samples);
            break;
        case FuelCorrection::CellStatus::ClosedLoop:
            tip = QStringLiteral("Closed loop: left to the engine computer (%1 samples, AFR %2)")
                      .arg(c.samples)
                      .arg(c.measured, 0, 'f', 2);
            back = QColor(225, 225, 225);
            break;
        case FuelCorrection::CellStatus::Proposed:
            text = QStringLiteral("%1 -> %2").arg(current).arg(c.proposedRaw);
            tip = QStringLiteral("%1 samples, measured AFR %2, target %3%4")
                      .arg(c.samples)
                      .arg(c.measured, 0, 'f', 2)
                      .arg(c.target)
                      .arg(c.clamped ? QStringLiteral(", limited to 0..127") : QString());
            back = c.changes() ? QColor(255, 240, 170) : QColor(210, 240, 210);
            break;
        }
        auto *item = gridProposal->item(e / 16, e % 16);
        if (!item) {
            item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            gridProposal->setItem(e / 16, e % 16, item);
        }
        item->setText(text);
        item->setToolTip(tip);
        item->setBackground(back.isValid() ? QBrush(back) : QBrush());
    }
    fillHeaders(gridProposal);
    fillHeaders(gridTarget);
}

void FuelCorrectionDialog::selectAllChanges()
{
    gridProposal->clearSelection();
    for (int e = 0; e < 256; ++e)
        if (m_proposal.cells[static_cast<std::size_t>(e)].changes())
            if (QTableWidgetItem *item = gridProposal->item(e / 16, e % 16))
                item->setSelected(true);
}

int FuelCorrectionDialog::applySelected()
{
    std::vector<ApplyCorrection::CellChange> changes;
    for (const QTableWidgetItem *item : gridProposal->selectedItems()) {
        const int e = item->row() * 16 + item->column();
        const auto &c = m_proposal.cells[static_cast<std::size_t>(e)];
        if (c.changes())
            changes.push_back({e, c.proposedRaw});
    }
    if (changes.empty()) {
        lblStatus->setText(QStringLiteral("Select the cells to change first (Select All Changes picks every one)."));
        return 0;
    }
    const int changed = m_apply ? m_apply(m_proposal.map, changes) : 0;
    compute();
    lblStatus->setText(
        QStringLiteral("%1 cells of %2 changed.").arg(changed).arg(QLatin1String(CatalogueEntry(m_proposal.map).name)));
    return changed;
}
