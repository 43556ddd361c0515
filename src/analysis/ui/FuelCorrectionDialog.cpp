#include "analysis/ui/FuelCorrectionDialog.h"
#include "analysis/CorrectionJob.h"
#include "analysis/CursorWindow.h"

#include "analysis/ui/DatalogViewer.h"
#include "analysis/ui/FuelCorrectionForm.h"
#include "editors/GridRules.h"
#include "model/ProgramState.h"
#include "model/Units.h"
#include "platform/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

using namespace FuelCorrectionForm;


FuelCorrectionDialog::FuelCorrectionDialog(const ProgramState &state, SettingsStore &store, const DatalogViewer &viewer,
                                           FuelCorrection::AppliedCells &applied, Applier apply,
                                           std::function<QString()> runningLog, QWidget *parent)
    : QDialog(parent), m_state(state), m_store(store), m_viewer(viewer), m_applied(applied), m_apply(std::move(apply)),
      m_runningLog(std::move(runningLog))
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
    // The settings scroll on a small screen, the proposal keeps the room.
    auto *settingsArea = new QScrollArea(this);
    auto *settingsBox = new QWidget(settingsArea);
    settingsBox->setLayout(form);
    settingsArea->setWidget(settingsBox);
    settingsArea->setWidgetResizable(true);
    settingsArea->setFrameShape(QFrame::NoFrame);
    layout->addWidget(settingsArea);

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
    QPushButton *lock = buttons->addButton(QStringLiteral("&Lock Selected"), QDialogButtonBox::ActionRole);
    lock->setObjectName(QStringLiteral("cmdLock"));
    QPushButton *unlock = buttons->addButton(QStringLiteral("&Unlock Selected"), QDialogButtonBox::ActionRole);
    unlock->setObjectName(QStringLiteral("cmdUnlock"));
    connect(lock, &QPushButton::clicked, this, [this] { lockSelected(true); });
    connect(unlock, &QPushButton::clicked, this, [this] { lockSelected(false); });
    checkFollow = new QCheckBox(QStringLiteral("&Follow the running log"), this);
    checkFollow->setObjectName(QStringLiteral("checkFollow"));
    checkFollow->setToolTip(QStringLiteral("While real-time mode logs, compute again from the running log every "
                                           "two seconds; applying stays yours."));
    connect(checkFollow, &QCheckBox::toggled, this, [this](bool on) {
        if (!followRunningLog(on) && on)
            checkFollow->setChecked(false);
    });
    layout->addWidget(checkFollow);
    checkWindow = new QCheckBox(QStringLiteral("Only the samples between the viewer's cursors A and B"), this);
    checkWindow->setObjectName(QStringLiteral("checkWindow"));
    checkWindow->setToolTip(QStringLiteral("Not while following the running log, whose lines the cursors do not "
                                           "mark."));
    checkWindow->setChecked(viewer.selectedWindow().has_value());
    layout->addWidget(checkWindow);
    m_followTimer = new QTimer(this);
    m_followTimer->setInterval(FollowMs);
    connect(m_followTimer, &QTimer::timeout, this, &FuelCorrectionDialog::startFollowJob);
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
    connect(checkDelayAuto, &QCheckBox::toggled, this, withdraw);
}

void FuelCorrectionDialog::withdrawProposal()
{
    ++m_settingsGeneration;
    m_proposal = FuelCorrection::Proposal{};
    m_proposal.map = static_cast<MapKey>(comboMap->currentData().toInt());
    m_proposal.error = QStringLiteral("Choose the column that measures the air-fuel ratio and its formula, "
                                      "check the filters, then press Compute.");
    gridProposal->clearSelection();
    showProposal();
    lblStatus->setText(m_proposal.error);
}

const DataLog &FuelCorrectionDialog::source() const
{
    return m_followed ? *m_followed : m_viewer.log();
}

void FuelCorrectionDialog::lockSelected(bool locked)
{
    for (const QTableWidgetItem *item : gridProposal->selectedItems())
        m_locked[std::size_t(item->row() * 16 + item->column())] = locked;
    ++m_settingsGeneration; // a result on its way knows nothing of this lock
    if (m_proposal.error.isEmpty())
        compute();
}

FuelCorrectionDialog::~FuelCorrectionDialog()
{
    m_followJob.reset();
    FuelCorrection::SaveSettings(m_store, settings());
}

bool FuelCorrectionDialog::compute()
{
    if (m_followTimer->isActive()) {
        ++m_settingsGeneration;
        startFollowJob();
        return true;
    }
    m_settings = settings();
    FuelCorrection::SaveSettings(m_store, m_settings);
    const QString path = m_followed ? m_followedPath : m_viewer.logPath();
    CursorWindow::Rows rows{0, source().rowCount()};
    if (const auto window = m_viewer.selectedWindow(); checkWindow->isChecked() && window && !m_followed)
        rows = CursorWindow::RowsWithin(source(), window->first, window->second);
    m_proposal = FuelCorrection::Compute(source(), m_state.tune, m_settings, &m_applied,
                                         FuelCorrection::LogKey(source(), path), rows.first, rows.end);
    return present();
}

bool FuelCorrectionDialog::present()
{
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
            tip = QStringLiteral("%1 samples (hit weight %7), %2 left out by the filters, measured AFR %3, "
                                 "target %4%5%6")
                      .arg(c.samples)
                      .arg(c.leftOut)
                      .arg(c.measured, 0, 'f', 2)
                      .arg(c.target)
                      .arg(c.capped ? QStringLiteral(", held to the cap on the change per pass") : QString())
                      .arg(c.clamped ? QStringLiteral(", limited to 0..127") : QString())
                      .arg(c.weight, 0, 'f', 1);
            back = c.changes() ? QColor(255, 240, 170) : QColor(210, 240, 210);
            break;
        case FuelCorrection::CellStatus::Locked:
            text = QStringLiteral("%1 locked").arg(current);
            tip = QStringLiteral("Locked: kept as it is (%1 samples)").arg(c.samples);
            back = QColor(200, 200, 230);
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
    // Cells the tuner changed after the proposal was computed keep the
    // tuner's value, and their samples stay unspent.
    int stale = 0;
    for (const QTableWidgetItem *item : gridProposal->selectedItems()) {
        const int e = item->row() * 16 + item->column();
        const auto &c = m_proposal.cells[static_cast<std::size_t>(e)];
        const ApplyCorrection::CellChange change{e, c.proposedRaw, c.currentRaw};
        if (!c.changes() || m_locked[static_cast<std::size_t>(e)])
            continue;
        if (ApplyCorrection::IsCurrent(m_state.tune.map(m_proposal.map), change))
            changes.push_back(change);
        else
            ++stale;
    }
    const QString staleText =
        stale == 0 ? QString()
                   : QStringLiteral(" %1 cells were left as they are: they changed after the proposal was computed "
                                    "(Compute proposes them again).")
                         .arg(stale);
    if (changes.empty()) {
        lblStatus->setText(
            stale == 0 ? QStringLiteral("Select the cells to change first (Select All Changes picks every one).")
                       : staleText.trimmed());
        return 0;
    }
    const int changed = m_apply ? m_apply(m_proposal.map, changes) : 0;
    // The samples behind these cells are spent: computing again must not
    // correct the corrected values from the same samples.
    if (changed > 0) {
        FuelCorrection::AppliedCells::Applied applied{m_proposal.logKey, m_followed ? m_followedPath : m_viewer.logPath(),
                                                      m_proposal.map, {}, m_proposal.rows};
        for (const ApplyCorrection::CellChange &c : changes)
            applied.entries.push_back(c.entry);
        m_applied.markApplied(applied);
    }
    compute();
    lblStatus->setText(
        QStringLiteral("%1 cells of %2 changed.").arg(changed).arg(QLatin1String(CatalogueEntry(m_proposal.map).name)) +
        staleText);
    return changed;
}
