#include "link/ui/dlgLoadBin.h"

#include "link/ui/dlgXferROM.h"
#include "model/StockPrograms.h"
#include "platform/ui/DialogButtons.h"
#include "platform/FileIO.h"
#include "platform/MessageBoxService.h"
#include "platform/TempFiles.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

dlgLoadBin::dlgLoadBin(LinkPort &port, MessageBoxService &messages, QWidget *parent)
    : QDialog(parent), m_port(port), m_messages(messages), m_modulePath(DefaultResourceModulePath())
{
    setObjectName("dlgLoadBin");
    setWindowTitle("Load Stock Settings");
    auto *layout = new QVBoxLayout(this);
    for (const StockProgram &p : StockPrograms()) {
        auto *radio = new QRadioButton(QLatin1String(p.caption));
        radio->setObjectName(QLatin1String(p.option));
        radio->setProperty("resource", p.resource);
        layout->addWidget(radio);
    }
    auto *warning = new QLabel("Warning:  Loading the stock settings to the Vantrelle hardware will overwrite any and "
                               "all changes that you have made up to this point.");
    warning->setWordWrap(true);
    layout->addWidget(warning);
    const OkCancelButtons buttons = AddOkCancelButtons(this, layout, QStringLiteral("&Cancel"));
    QPushButton *ok = buttons.ok;
    connect(ok, &QPushButton::clicked, this, &dlgLoadBin::OKButton_Click);
    // Nothing to load until a program is chosen.
    ok->setEnabled(false);
    for (QRadioButton *r : findChildren<QRadioButton *>())
        connect(r, &QRadioButton::toggled, ok, [this, ok] { ok->setEnabled(selectedResource() != 0); });
}

QRadioButton *dlgLoadBin::option(int resource) const
{
    for (QRadioButton *r : findChildren<QRadioButton *>())
        if (r->property("resource").toInt() == resource)
            return r;
    return nullptr;
}

int dlgLoadBin::selectedResource() const
{
    for (QRadioButton *r : findChildren<QRadioButton *>())
        if (r->isChecked())
            return r->property("resource").toInt();
    return 0;
}

void dlgLoadBin::OKButton_Click()
{
    if (selectedResource() == 0)
        return;
    if (!m_messages.askYesNo(this, "Are you sure that you want to load the selected stock settings to the Vantrelle?"))
        return;
    const StockImageResult stock = LoadStockImage(selectedResource(), m_modulePath);
    if (stock.status == StockImageResult::ModuleMissing) {
        m_messages.critical(this, stock.message());
        return; // the dialog stays open
    }
    if (stock.status != StockImageResult::Ok) {
        m_messages.critical(this, stock.message());
    } else if (!stock.image.isEmpty()) {
        QString error;
        const QString temp = CreateTempFile(QStringLiteral("vnt"), &error);
        if (temp.isEmpty()) {
            m_messages.plain(this, error);
        } else {
            if (FileOutcome written = WriteFileAtomically(temp, stock.image); !written) {
                m_messages.plain(this, written.error);
            } else {
                dlgXferROM transfer(m_port, m_messages, this);
                transfer.Initialize(temp, 4);
                transfer.exec(); // reports its own failures
                if (transfer.Outcome().ok()) {
                    m_transferMs = transfer.ElapsedMs();
                    m_program = selectedResource();
                    m_image = stock.image;
                }
            }
            DeleteFile(temp);
        }
    }
    // Whenever the module could be loaded the box may hold something new:
    // the main window reads the tune back.
    m_bLoaded = true;
    accept();
}
