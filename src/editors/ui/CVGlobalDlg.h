#pragma once

#include "editors/GeneralRules.h"
#include "shell/Panels.h"

#include <QWidget>

class EditSession;
class FieldEdit;
class MessageBoxService;
class QLabel;

// The general settings panel (panel index 2): rev limiter, speed limiter,
// VTC release and the tune's version text. Each box shows its raw byte in
// engineering units and checks what is typed on Enter and when it is left;
// a changed value is committed through the edit session.
class CVGlobalDlg : public QWidget, public TunePanel
{
    Q_OBJECT
public:
    CVGlobalDlg(EditSession &edits, MessageBoxService &messages, QWidget *parent = nullptr);
    ~CVGlobalDlg() override;

    QWidget *widget() override { return this; }
    void UpdateData() override;

    // Validation of each box: false keeps the focus in the box.
    bool RevLimiter_Validate();
    bool SpeedLimiter_Validate();
    bool VTCRelease_Validate();
    bool Version_Validate();

    FieldEdit *revLimiterEdit() const { return editRevLimiter; }
    FieldEdit *speedLimiterEdit() const { return editSpeedLimiter; }
    FieldEdit *vtcReleaseEdit() const { return editVTCRelease; }
    FieldEdit *versionEdit() const { return editVersion; }

private:
    bool validateNumeric(FieldEdit *edit, GeneralRules::Field field);

    EditSession &m_edits;
    MessageBoxService &m_messages;

    FieldEdit *editRevLimiter = nullptr;
    FieldEdit *editSpeedLimiter = nullptr;
    FieldEdit *editVTCRelease = nullptr;
    FieldEdit *editVersion = nullptr;
};
