#pragma once

#include "analysis/ApplyCorrection.h"
#include "analysis/FuelCorrection.h"

#include <QDialog>
#include <functional>

class DatalogViewer;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class SettingsStore;
class ProgramState;

// "Fuel Correction from Log": the proposal for each open-loop cell of a fuel
// map beside its current value, computed from the viewer's log, the chosen
// air-fuel ratio column (through an optional formula), the filters and the
// target table. Nothing is proposed until the user has chosen the column and
// pressed Compute; changing any setting withdraws the proposal. The user
// picks cells (or all changes) and applies them as one edit; applied cells
// are recorded in applied, so their samples never propose them again.
class FuelCorrectionDialog : public QDialog
{
    Q_OBJECT
public:
    // apply writes the chosen cells into the tune as one step and returns
    // how many changed.
    using Applier = std::function<int(MapKey, const std::vector<ApplyCorrection::CellChange> &)>;

    FuelCorrectionDialog(const ProgramState &state, SettingsStore &store, const DatalogViewer &viewer,
                         FuelCorrection::AppliedCells &applied, Applier apply, QWidget *parent = nullptr);
    ~FuelCorrectionDialog() override;

    // Recomputes the proposal from the controls; false (reason in the status
    // line) when it cannot be computed.
    bool compute();
    // Selects every cell whose proposal differs from its value.
    void selectAllChanges();
    // Applies the selected cells that have a changing proposal; returns how
    // many changed.
    int applySelected();

    const FuelCorrection::Proposal &proposal() const { return m_proposal; }
    FuelCorrection::Settings settings() const;

    QTableWidget *proposalGrid() const { return gridProposal; }
    QTableWidget *targetGrid() const { return gridTarget; }
    QComboBox *mapCombo() const { return comboMap; }
    QComboBox *afrCombo() const { return comboAFR; }
    QLineEdit *formulaEdit() const { return editFormula; }
    QSpinBox *minSamplesSpin() const { return spinMinSamples; }
    QDoubleSpinBox *transientSpin() const { return spinTransient; }
    QDoubleSpinBox *capSpin() const { return spinCap; }
    QLabel *statusLabel() const { return lblStatus; }

private:
    void fillHeaders(QTableWidget *grid) const;
    void fillTargets(const FuelCorrection::TargetTable &targets);
    void showProposal();
    void targetEdited(int row, int col);
    void buildFilters(QFormLayout *form);
    void withdrawProposal();

    const ProgramState &m_state;
    SettingsStore &m_store;
    const DatalogViewer &m_viewer;
    FuelCorrection::AppliedCells &m_applied;
    Applier m_apply;
    FuelCorrection::Settings m_settings;
    FuelCorrection::Proposal m_proposal;
    bool m_filling = false;

    QComboBox *comboMap = nullptr;
    QComboBox *comboAFR = nullptr;
    QLineEdit *editFormula = nullptr;
    QSpinBox *spinMinSamples = nullptr;
    QDoubleSpinBox *spinTransient = nullptr;
    QDoubleSpinBox *spinCap = nullptr;
    QDoubleSpinBox *spinClosedThrottle = nullptr;
    QDoubleSpinBox *spinFalling = nullptr;
    QComboBox *comboCoolant = nullptr;
    QDoubleSpinBox *spinMinCoolant = nullptr;
    QDoubleSpinBox *spinAfrLow = nullptr;
    QDoubleSpinBox *spinAfrHigh = nullptr;
    QTableWidget *gridProposal = nullptr;
    QTableWidget *gridTarget = nullptr;
    QLabel *lblStatus = nullptr;
};
