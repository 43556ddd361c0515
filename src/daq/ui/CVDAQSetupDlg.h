#pragma once

#include "shell/Panels.h"

#include <QColor>
#include <QWidget>
#include <functional>
#include <optional>

class CVDataAcquisition;
class CVScalingCalculator;
class DaqSettings;
class FieldEdit;
class MessageBoxService;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class LinkSession;

// The "Data Acquisition Setup" page (panel index 14): the list of DAQ inputs,
// the fields of the selected input, the list buttons, the device's reset and
// version information and the advanced sampling settings. Every change goes
// to the preferences at once (DaqSettings writes each input to the store).
class CVDAQSetupDlg : public QWidget, public TunePanel
{
    Q_OBJECT
public:
    // Asks for a colour starting from the current one; nothing when cancelled.
    using ColorPicker = std::function<std::optional<QColor>(QWidget *parent, const QColor &initial)>;

    CVDAQSetupDlg(DaqSettings &prefs, const LinkSession &link, CVDataAcquisition &daq, CVScalingCalculator &calculator,
                  MessageBoxService &messages, QWidget *parent = nullptr);

    QWidget *widget() override { return this; }
    // New, Update, Delete and Reset DAQ Device are available only while
    // real-time mode is off.
    void UpdateData() override;

    void SetColorPicker(ColorPicker picker) { m_pickColor = std::move(picker); }
    // Runs the advanced dialog; advancedSettingsChanged follows.
    void Advanced();

    // The buttons' commands.
    void New();
    // False when a check refused the input (nothing changed).
    bool Update();
    void Delete();
    void ResetDevice();
    void DeviceInfo();
    // Shows the input of that row (a click on the row).
    void SelectRow(const QString &name);

    QString SelectedName() const { return m_selectedName; }
    bool IsNewInput() const { return m_newInput; }
    QTreeWidget *list() const { return listViewDAQ; }

signals:
    // The advanced dialog closed with OK: the sample period may have changed.
    void advancedSettingsChanged();

private:
    QWidget *buildEditor();
    void fillList();
    void setRowTexts(QTreeWidgetItem *row, const QString &name);
    QTreeWidgetItem *rowOf(const QString &name) const;
    void showInput(const QString &name);
    void applyTypeRule();
    void applyThresholdRule();
    void typeChanged(int type);
    void fillChannels(int type);
    void chooseColor(QPushButton *button);
    void setButtonColor(QPushButton *button, quint32 color);
    quint32 buttonColor(const QPushButton *button) const;
    void showDeviceFailure(const QString &message);

    DaqSettings &m_prefs;
    const LinkSession &m_link;
    CVDataAcquisition &m_daq;
    CVScalingCalculator &m_calculator;
    MessageBoxService &m_messages;
    ColorPicker m_pickColor;

    QString m_selectedName;
    bool m_newInput = false;
    bool m_filling = false;

    QLabel *lblDAQConfig = nullptr;
    QLabel *lblDAQStatus = nullptr;
    QTreeWidget *listViewDAQ = nullptr;
    QLineEdit *editDAQName = nullptr;
    QComboBox *comboDAQInputType = nullptr;
    QComboBox *comboDAQInput = nullptr;
    QComboBox *comboGain = nullptr;
    FieldEdit *editDAQVoltageCorrection = nullptr;
    QLabel *lblDAQVoltageCorrection = nullptr;
    QLineEdit *editDAQScalingFormula = nullptr;
    QLabel *lblDAQScalingFormula = nullptr;
    QCheckBox *checkInputEnabled = nullptr;
    QCheckBox *checkDAQThresholdEnabled = nullptr;
    QGroupBox *frameDAQThresholds = nullptr;
    QLabel *lblDAQWarn = nullptr;
    QLabel *lblDAQWarnAs = nullptr;
    FieldEdit *editDAQWarnThreshold = nullptr;
    QPushButton *buttonDAQWarn = nullptr;
    QLabel *lblDAQCritical = nullptr;
    QLabel *lblDAQCriticalAs = nullptr;
    FieldEdit *editDAQCriticalThreshold = nullptr;
    QPushButton *buttonDAQCritical = nullptr;
    QLabel *lblDAQNormal = nullptr;
    QPushButton *buttonDAQNormal = nullptr;
    QPushButton *buttonDAQNew = nullptr;
    QPushButton *buttonDAQUpdate = nullptr;
    QPushButton *buttonDAQDelete = nullptr;
    QPushButton *buttonLJReset = nullptr;
    QPushButton *buttonLJInfo = nullptr;
    QPushButton *buttonRTAdvanced = nullptr;
};
