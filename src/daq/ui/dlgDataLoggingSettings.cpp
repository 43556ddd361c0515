#include "daq/ui/dlgDataLoggingSettings.h"

#include "platform/ui/DialogButtons.h"
#include "daq/DaqSettings.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

dlgDataLoggingSettings::dlgDataLoggingSettings(DaqSettings &prefs, QWidget *parent) : QDialog(parent), m_prefs(prefs)
{
    setObjectName("dlgDataLoggingSettings");
    setWindowTitle("Data Logging Settings");
    auto *layout = new QVBoxLayout(this);
    auto *frame = new QGroupBox("Data Log Format", this);
    frame->setObjectName("frameDataLogFormat");
    layout->addWidget(frame);
    auto *inner = new QVBoxLayout(frame);
    radioDataLogCSV = new QRadioButton("Comma separated values (CSV)", frame);
    radioDataLogCSV->setObjectName("radioDataLogCSV");
    radioDataLogText = new QRadioButton("Text Format (tab separated values)", frame);
    radioDataLogText->setObjectName("radioDataLogText");
    inner->addWidget(radioDataLogCSV);
    inner->addWidget(radioDataLogText);

    const OkCancelButtons buttons = AddOkCancelButtons(this, layout);
    QPushButton *ok = buttons.ok;
    connect(ok, &QPushButton::clicked, this, [this] {
        OKClicked();
        accept();
    });

    if (m_prefs.DataLogFormat() != 0)
        radioDataLogCSV->setChecked(true);
    else
        radioDataLogText->setChecked(true);
}

void dlgDataLoggingSettings::OKClicked()
{
    m_prefs.SetDataLogFormat(radioDataLogText->isChecked() ? 0 : 1);
}
