#pragma once

#include "model/TuneItems.h"
#include "shell/Panels.h"

#include <QFrame>
#include <QWidget>

class EditSession;
class FieldEdit;
class MessageBoxService;
class QCheckBox;
class QComboBox;
class QLabel;
class ProgramState;

// The injector panel (panel index 3): the injector constant K, chosen as an
// injector size (doubled for dual filtration) or typed as a custom value, and
// the injector blast and void bytes. Injector values are never written in
// real time: in real-time mode every input is disabled and a notice says so.
class CVInjectorDlg : public QWidget, public TunePanel
{
    Q_OBJECT
public:
    CVInjectorDlg(EditSession &edits, MessageBoxService &messages, QWidget *parent = nullptr);
    ~CVInjectorDlg() override;

    QWidget *widget() override { return this; }
    void UpdateData() override;

    // Handlers.
    void comboInjectorK_Validate();    // a size was chosen (or Dual Filtration clicked)
    bool editKOveride_Validate();      // false keeps the focus
    void checkKOverride_Click();
    void checkDualFiltration_Click();
    bool editInjectorBlast_Validate();
    bool editInjectorVoid_Validate();

    QComboBox *sizeList() const { return comboInjectorK; }
    QCheckBox *dualFiltrationCheck() const { return checkDualFiltration; }
    QCheckBox *overrideCheck() const { return checkKOverride; }
    FieldEdit *kEdit() const { return editKOveride; }
    FieldEdit *blastEdit() const { return editInjectorBlast; }
    FieldEdit *voidEdit() const { return editInjectorVoid; }
    QWidget *realTimeNotice() const { return picRTInfo; }

private:
    bool validateByte(FieldEdit *edit, TuneItem item);

    EditSession &m_edits;
    ProgramState &m_state;
    MessageBoxService &m_messages;

    QComboBox *comboInjectorK = nullptr;
    QCheckBox *checkDualFiltration = nullptr;
    QCheckBox *checkKOverride = nullptr;
    FieldEdit *editKOveride = nullptr;
    FieldEdit *editInjectorBlast = nullptr;
    FieldEdit *editInjectorVoid = nullptr;
    QFrame *picRTInfo = nullptr;
    QLabel *lblRTInfo = nullptr;
};
