#include "analysis/ui/FuelCorrectionDialog.h"

#include "analysis/ui/DatalogViewer.h"
#include "editors/GridRules.h"
#include "model/ProgramState.h"
#include "model/Units.h"
#include "platform/SettingsStore.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
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

const QString NoColumn = QStringLiteral("(choose the column)");
const QString NoCoolant = QStringLiteral("(none)");

} // namespace

FuelCorrectionDialog::FuelCorrectionDialog(const ProgramState &state, SettingsStore &store, const DatalogViewer &viewer,
                                           FuelCorrection::AppliedCells &applied, Applier apply, QWidget *parent)
    : QDialog(parent), m_state(state), m_store(store), m_viewer(viewer), m_applied(applied), m_apply(std::move(apply))
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
    // No guess from the column names: a narrow-band O2 voltage read as a
    // ratio proposes nonsense, so the column is the user's own choice (the
    // last one chosen is remembered).
    const DataLog &log = viewer.log();
    comboAFR->addItem(NoColumn);
    for (int c = 0; c < log.columnCount(); ++c)
        comboAFR->addItem(log.names[c]);
    comboAFR->setCurrentIndex(std::max(0, log.columnIndex(m_settings.afrColumn) + 1));
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

    buildFilters(form);
    layout->addLayout(form);

    auto *tabs = new QTabWidget(this);
    gridProposal = makeGrid(tabs, "gridProposal");
    gridProposal->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Two lines per cell: the change, then its samples and those left out.
    gridProposal->verticalHeader()->setDefaultSectionSize(gridProposal->fontMetrics().lineSpacing() * 2 + 6);
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
    resize(1200, 860);
    withdrawProposal();
    const auto withdraw = [this] { withdrawProposal(); };
    connect(comboMap, &QComboBox::currentIndexChanged, this, withdraw);
    connect(comboAFR, &QComboBox::currentIndexChanged, this, withdraw);
    connect(comboCoolant, &QComboBox::currentIndexChanged, this, withdraw);
    connect(editFormula, &QLineEdit::textChanged, this, withdraw);
    connect(spinMinSamples, &QSpinBox::valueChanged, this, withdraw);
    for (QDoubleSpinBox *spin : findChildren<QDoubleSpinBox *>())
        connect(spin, &QDoubleSpinBox::valueChanged, this, withdraw);
}

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
    form->addRow(QStringLiteral("Plausible AFR from:"), pair(this, spinAfrLow, QStringLiteral("to"), spinAfrHigh));
}

void FuelCorrectionDialog::withdrawProposal()
{
    m_proposal = FuelCorrection::Proposal{};
    m_proposal.map = static_cast<MapKey>(comboMap->currentData().toInt());
    m_proposal.error = QStringLiteral("Choose the column that measures the air-fuel ratio and its formula, "
                                      "check the filters, then press Compute.");
    gridProposal->clearSelection();
    showProposal();
    lblStatus->setText(m_proposal.error);
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
    const DataLog &log = m_viewer.log();
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
    return s;
}

bool FuelCorrectionDialog::compute()
{
    m_settings = settings();
    FuelCorrection::SaveSettings(m_store, m_settings);
    m_proposal = FuelCorrection::Compute(m_viewer.log(), m_state.tune, m_settings, &m_applied,
                                         FuelCorrection::LogKey(m_viewer.log(), m_viewer.logPath()));
    showProposal();
    if (!m_proposal.error.isEmpty()) {
        lblStatus->setText(m_proposal.error);
        return false;
    }
    QString text = FuelCorrection::Summary(m_proposal, m_settings);
    if (const auto [cells, at] = m_applied.corrected(m_proposal.logKey, m_proposal.map); cells > 0)
        text += QStringLiteral(" %1 cells were already corrected from this log, last on %2.")
                    .arg(cells)
                    .arg(at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    lblStatus->setText(text);
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
            tip = QStringLiteral("%1 samples: too few (%2 left out by the filters)").arg(c.samples).arg(c.leftOut);
            break;
        case FuelCorrection::CellStatus::Applied:
            text = QStringLiteral("%1 applied").arg(current);
            tip = QStringLiteral("Corrected from this log: its %1 samples are used; %2 logged since")
                      .arg(c.spent)
                      .arg(c.samples);
            back = QColor(200, 220, 255);
            break;
        case FuelCorrection::CellStatus::ClosedLoop:
            tip = QStringLiteral("Closed loop: left to the engine computer (%1 samples, AFR %2)")
                      .arg(c.samples)
                      .arg(c.measured, 0, 'f', 2);
            back = QColor(225, 225, 225);
            break;
        case FuelCorrection::CellStatus::Proposed:
            text = QStringLiteral("%1 -> %2\n%3 (%4 out)").arg(current).arg(c.proposedRaw).arg(c.samples).arg(c.leftOut);
            tip = QStringLiteral("%1 samples, %2 left out by the filters, measured AFR %3, target %4%5%6")
                      .arg(c.samples)
                      .arg(c.leftOut)
                      .arg(c.measured, 0, 'f', 2)
                      .arg(c.target)
                      .arg(c.capped ? QStringLiteral(", held to the cap on the change per pass") : QString())
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
    // The samples behind these cells are spent: computing again must not
    // correct the corrected values from the same samples.
    if (changed > 0) {
        FuelCorrection::AppliedCells::Applied applied{m_proposal.logKey, m_viewer.logPath(), m_proposal.map, {},
                                                      m_proposal.rows};
        for (const ApplyCorrection::CellChange &c : changes)
            applied.entries.push_back(c.entry);
        m_applied.markApplied(applied);
    }
    compute();
    lblStatus->setText(
        QStringLiteral("%1 cells of %2 changed.").arg(changed).arg(QLatin1String(CatalogueEntry(m_proposal.map).name)));
    return changed;
}
