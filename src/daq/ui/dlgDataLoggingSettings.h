#pragma once

#include <QDialog>

class DaqSettings;
class QRadioButton;

// "Data Logging Settings": comma- or tab-separated logs (DataLogFormat 1 or
// 0), applied from the next log started.
class dlgDataLoggingSettings : public QDialog
{
    Q_OBJECT
public:
    explicit dlgDataLoggingSettings(DaqSettings &prefs, QWidget *parent = nullptr);

    void OKClicked();
    QRadioButton *csvOption() const { return radioDataLogCSV; }
    QRadioButton *textOption() const { return radioDataLogText; }

private:
    DaqSettings &m_prefs;
    QRadioButton *radioDataLogCSV = nullptr;
    QRadioButton *radioDataLogText = nullptr;
};
