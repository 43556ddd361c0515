#pragma once

#include "shell/Panels.h"

#include <QWidget>
#include <functional>

class FieldEdit;
class MessageBoxService;
class QLabel;
class RealTimeSender;
struct ProgramState;

// The general settings panel (panel index 2): rev limiter, speed limiter,
// VTC release and the tune's version text. Each box shows its raw byte in
// engineering units and checks what is typed on Enter and when it is left.
class CVGlobalDlg : public QWidget, public TunePanel
{
    Q_OBJECT
public:
    CVGlobalDlg(ProgramState &state, RealTimeSender &sender, MessageBoxService &messages,
                QWidget *parent = nullptr);
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
    struct NumericField
    {
        FieldEdit *edit;
        double low;
        double high;
        bool allowSignAndPoint;
        int item;
        std::function<int()> raw;
        std::function<void(int)> setRaw;
        std::function<int(double)> toRaw;
        std::function<QString(int)> toText;
    };
    bool validateNumeric(const NumericField &field, bool heldByStagedLimiter);
    NumericField revLimiterField();
    NumericField speedLimiterField();
    NumericField vtcReleaseField();

    ProgramState &m_state;
    RealTimeSender &m_sender;
    MessageBoxService &m_messages;

    FieldEdit *editRevLimiter = nullptr;
    FieldEdit *editSpeedLimiter = nullptr;
    FieldEdit *editVTCRelease = nullptr;
    FieldEdit *editVersion = nullptr;
};
