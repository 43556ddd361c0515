#include "link/ui/ImageCommands.h"

#include "link/BoxContents.h"
#include "link/TransferSummary.h"
#include "model/ImageFile.h"
#include "link/ui/dlgXferROM.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/SaveFileName.h"
#include "platform/UiServices.h"
#include "link/ui/dlgLoadBin.h"
#include "shell/MainWindow.h"

#include <QAction>

ImageCommands::ImageCommands(MainWindow &window, LinkPort &port, std::function<bool()> readCommand)
    : QObject(window.DialogParent()), m_window(window), m_port(port), m_read(std::move(readCommand))
{
    connect(window.Actions().mnuFileOpenBin, &QAction::triggered, this, &ImageCommands::LoadBinToRom);
    connect(window.Actions().mnuFileSaveBin, &QAction::triggered, this, &ImageCommands::SaveRomToBin);
    connect(window.Actions().mnuLoad, &QAction::triggered, this, &ImageCommands::LoadStockProgram);
}

void ImageCommands::LoadBinToRom()
{
    const QString path = m_window.Ui().files.openFile(m_window.DialogParent(), "Open", ImageFormat::DialogFilter);
    if (path.isEmpty())
        return;
    dlgXferROM transfer(m_port, m_window.Ui().messages, m_window.DialogParent());
    transfer.Initialize(path, 4);
    transfer.exec();
    if (transfer.Outcome().ok())
        m_window.ShowStatusMessage(TransferSummary::RomText(TransferSummary::Kind::Write, transfer.ElapsedMs()),
                                   MainWindow::StatusMessageMs);
    // The transfer has shown any failure of its own. A file refused before
    // anything was sent leaves the box as it was: nothing to read back.
    if (transfer.Outcome().result == LinkResult::FileError)
        return;
    if (box)
        box->Forget();
    m_read();
}

void ImageCommands::SaveRomToBin()
{
    const QString path = m_window.Ui().files.saveFile(
        m_window.DialogParent(), "Save", ImageFormat::DialogFilter,
        SaveFileName::Dated(QStringLiteral("rom"), QDateTime::currentDateTime(), QStringLiteral("bin")));
    if (path.isEmpty())
        return;
    dlgXferROM transfer(m_port, m_window.Ui().messages, m_window.DialogParent());
    transfer.Initialize(path, 3);
    transfer.exec();
    if (transfer.Outcome().ok())
        m_window.ShowStatusMessage(TransferSummary::RomText(TransferSummary::Kind::Read, transfer.ElapsedMs()),
                                   MainWindow::StatusMessageMs);
}

void ImageCommands::LoadStockProgram()
{
    bool loaded = false;
    {
        dlgLoadBin dialog(m_port, m_window.Ui().messages, m_window.DialogParent());
        dialog.exec();
        loaded = dialog.Loaded();
        if (dialog.TransferMs() >= 0)
            m_window.ShowStatusMessage(TransferSummary::RomText(TransferSummary::Kind::Write, dialog.TransferMs()),
                                       MainWindow::StatusMessageMs);
    }
    // Even a transfer that stopped part-way may have changed the box.
    if (box)
        box->Forget();
    if (!loaded)
        return;
    // The read may be declined, or cancelled to keep unsaved changes: the tune
    // on screen then still belongs to its project file.
    bool replaced = false;
    const QMetaObject::Connection watch =
        connect(&m_window.Events(), &MainWindowEvents::tuneReplaced, this, [&replaced] { replaced = true; });
    m_read();
    disconnect(watch);
    if (!replaced)
        return;
    // The tune no longer belongs to a project file.
    m_window.SetCurrentFileName(QString());
    m_window.SetTitle("Vantrelle");
}
