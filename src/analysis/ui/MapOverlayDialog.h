#pragma once

#include "analysis/ui/GridLogMarks.h"

#include <QDialog>

class DatalogViewer;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class SettingsStore;
class ProgramState;

// "Map Overlay from Log": for a chosen map, how many samples of the viewer's
// log fell into each cell, the average of a chosen column or the time spent
// in the cell, shown on the map grid over the cells; over the whole log, the
// viewer's range or the window between its cursors A and B. The map, column, mode and range chosen are
// remembered in the preferences store.
class MapOverlayDialog : public QDialog
{
    Q_OBJECT
public:
    MapOverlayDialog(const ProgramState &state, SettingsStore &store, const DatalogViewer &viewer, GridLogMarks &marks,
                     QWidget *parent = nullptr);
    ~MapOverlayDialog() override;

    // "Show": computes the overlay and puts it on the grid; false when the
    // log lacks RPM or TP (the reason is in the dialog's status line).
    bool showOverlay();
    void clearOverlay();

    QComboBox *mapCombo() const { return comboMap; }
    QComboBox *columnCombo() const { return comboColumn; }
    QCheckBox *inViewCheck() const { return checkInView; }
    QCheckBox *windowCheck() const { return checkWindow; }
    QLabel *statusLabel() const { return lblStatus; }
    QLabel *ruleLabel() const { return lblRule; }
    CellOverlay::Settings settings() const;

private:
    void setStatus(const QString &text);

    const ProgramState &m_state;
    SettingsStore &m_store;
    const DatalogViewer &m_viewer;
    GridLogMarks &m_marks;
    QComboBox *comboMap = nullptr;
    QComboBox *comboColumn = nullptr;
    QRadioButton *radioCounts = nullptr;
    QRadioButton *radioAverages = nullptr;
    QRadioButton *radioBoth = nullptr;
    QRadioButton *radioTime = nullptr;
    QCheckBox *checkInView = nullptr;
    QCheckBox *checkWindow = nullptr; // the viewer's cursors A and B
    QLabel *lblStatus = nullptr;
    QLabel *lblRule = nullptr;
};
