#pragma once

#include "analysis/ApplyCorrection.h"
#include "analysis/DataLog.h"
#include "analysis/FuelCorrection.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

class CorrectionJob;
class DatalogViewer;
class QCheckBox;
class QTimer;
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

    // runningLog gives the running log's file while real-time mode logs (the
    // dialog can follow it), empty otherwise.
    FuelCorrectionDialog(const ProgramState &state, SettingsStore &store, const DatalogViewer &viewer,
                         FuelCorrection::AppliedCells &applied, Applier apply,
                         std::function<QString()> runningLog = {}, QWidget *parent = nullptr);
    ~FuelCorrectionDialog() override;

    // Recomputes the proposal from the controls; false (reason in the status
    // line) when it cannot be computed.
    bool compute();
    // Selects every cell whose proposal differs from its value.
    void selectAllChanges();
    // Applies the selected cells that have a changing proposal; returns how
    // many changed.
    int applySelected();
    // Locks (or unlocks) the selected cells: a locked cell is never proposed.
    void lockSelected(bool locked);
    // Follows the running log: it is read again every FollowMs and the
    // proposal computed anew from what it holds by then, off this thread
    // (followedComputed tells when one is shown). False when no log is
    // running.
    bool followRunningLog(bool follow);
    static constexpr int FollowMs = 2000;

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
    QCheckBox *windowCheck() const { return checkWindow; }

signals:
    void followedComputed();

private:
    void fillHeaders(QTableWidget *grid) const;
    void fillTargets(const FuelCorrection::TargetTable &targets);
    void showProposal();
    void targetEdited(int row, int col);
    void buildFilters(QFormLayout *form);
    void withdrawProposal();
    // The log the proposal is computed from: the viewer's, or the running
    // log as last read while following it.
    const DataLog &source() const;
    // Shows m_proposal and what it used; false when it has an error.
    bool present();
    // Following: one job at a time reads the running log and computes; its
    // result is shown unless a setting changed while it ran (then the next
    // one starts at once).
    void startFollowJob();
    void followJobDone();

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
    QDoubleSpinBox *spinDelay = nullptr;
    QCheckBox *checkDelayAuto = nullptr;
    QCheckBox *checkFollow = nullptr;
    QCheckBox *checkWindow = nullptr; // the viewer's cursors A and B
    QTimer *m_followTimer = nullptr;
    std::function<QString()> m_runningLog;
    std::optional<DataLog> m_followed; // the running log while following it
    QString m_followedPath;
    std::unique_ptr<CorrectionJob> m_followJob;
    int m_settingsGeneration = 0; // counts changes that make a running job's result stale
    int m_jobGeneration = 0;      // and where it stood when the job started
    std::array<bool, 256> m_locked{};
    QTableWidget *gridProposal = nullptr;
    QTableWidget *gridTarget = nullptr;
    QLabel *lblStatus = nullptr;
};
