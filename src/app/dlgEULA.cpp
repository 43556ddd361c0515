#include "app/dlgEULA.h"

#include "platform/ui/DialogButtons.h"
#include "platform/MessageBoxService.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

dlgEULA::dlgEULA(MessageBoxService &messages, QWidget *parent) : QDialog(parent), m_messages(messages)
{
    setObjectName("dlgEULA");
    setWindowTitle("End User License Agreement");
    auto *layout = new QVBoxLayout(this);

    auto *heading = new QLabel("Welcome to the Vantrelle");
    QFont big = heading->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    heading->setFont(big);
    layout->addWidget(heading);
    layout->addWidget(new QLabel("Please read the agreement below. To accept it, type YES in the text box "
                                 "at the bottom and press OK."));

    m_editEULA = new QPlainTextEdit(AgreementText());
    m_editEULA->setObjectName("editEULA");
    m_editEULA->setReadOnly(true);
    m_editEULA->setMinimumSize(480, 240);
    layout->addWidget(m_editEULA);

    layout->addWidget(new QLabel("Do you agree to the terms outlined above?"));
    m_editResponse = new QLineEdit;
    m_editResponse->setObjectName("editResponse");
    layout->addWidget(m_editResponse);
    m_editResponse->setFocus();

    const OkCancelButtons buttons = AddOkCancelButtons(this, layout);
    QPushButton *ok = buttons.ok;
    connect(ok, &QPushButton::clicked, this, &dlgEULA::OKButton_Click);
}

void dlgEULA::OKButton_Click()
{
    if (m_editResponse->text() == QLatin1String("YES")) {
        m_accepted = true;
        accept();
        return;
    }
    m_messages.critical(this, "You must type 'YES' into the text box to continue");
    // Back to the answer, ready to be typed over.
    m_editResponse->setFocus();
    m_editResponse->selectAll();
}

QString dlgEULA::AgreementText()
{
    return QStringLiteral(
        "VANTRELLE END USER LICENSE AGREEMENT\n"
        "\n"
        "1. Use at your own risk. Vantrelle changes the calibration your engine runs on. "
        "A wrong value can make an engine run lean, knock, overheat or overspeed and can "
        "damage the engine, the drivetrain or the vehicle. You alone decide which values "
        "to use and you alone bear the consequences.\n"
        "\n"
        "2. Private property only. Use Vantrelle only on vehicles that are not driven on "
        "public roads, on private property or closed courses, and only where the law "
        "allows changing the engine's calibration. Do not tune while driving; keep the "
        "vehicle stationary and secured while you connect, read or write.\n"
        "\n"
        "3. No warranty. The software is provided \"as is\", without warranty of any kind, "
        "express or implied, including fitness for a particular purpose. The authors are "
        "not liable for any damage, loss or injury arising from its use.\n"
        "\n"
        "4. Emissions and safety equipment. Changing the calibration may affect emissions "
        "and may not be permitted for vehicles used on public roads.\n"
        "\n"
        "By typing YES below you confirm that you have read and accept these terms.\n");
}
