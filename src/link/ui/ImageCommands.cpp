#include "link/ui/ImageCommands.h"

#include "commands/ui/CommandEnabler.h"
#include "link/LinkSession.h"
#include "link/TransferSummary.h"
#include "link/ui/ConnectionCommands.h"
#include "link/ui/dlgLoadBin.h"
#include "link/ui/dlgXferROM.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/SaveFileName.h"
#include "platform/UiServices.h"
#include "platform/ui/Actions.h"
#include "shell/MainWindow.h"

ImageCommands::ImageCommands(MainWindow &window, ProgramState &state, LinkSession &link, LinkPort &port,
                             UiServices &ui, CommandEnabler &commands, ConnectionCommands &connection)
    : QObject(window.DialogParent()), m_window(window), m_state(state), m_link(link), m_port(port), m_ui(ui),
      m_connection(connection)
{
    QAction *loadBin = NewAction(this, "&Load .bin To ROM", "mnuFileOpenBin");
    QAction *saveBin = NewAction(this, "Sa&ve ROM to .bin", "mnuFileSaveBin");
    QAction *stock = NewAction(this, "Load Stoc&k Program...", "mnuLoad");
    window.AddAction(MenuPlace::FileImages, loadBin);
    window.AddAction(MenuPlace::FileImages, saveBin);
    window.AddAction(MenuPlace::FileStock, stock);
    commands.Register(Command::LoadBinToRom, loadBin);
    commands.Register(Command::SaveRomToBin, saveBin);
    commands.Register(Command::LoadStockProgram, stock);
    connect(loadBin, &QAction::triggered, this, &ImageCommands::LoadBinToRom);
    connect(saveBin, &QAction::triggered, this, &ImageCommands::SaveRomToBin);
    connect(stock, &QAction::triggered, this, &ImageCommands::LoadStockProgram);
}

void ImageCommands::LoadBinToRom()
{
    const QString path = m_ui.files.openFile(m_window.DialogParent(), "Open", ImageFormat::DialogFilter);
    if (path.isEmpty())
        return;
    dlgXferROM transfer(m_port, m_ui.messages, m_window.DialogParent());
    // A file longer than an image is most likely no image at all (a log, a
    // project): written, its first 32 KB would replace the whole tune.
    if (const qint64 size = LongerThanAnImage(path); size >= 0) {
        if (m_ui.messages.show(m_window.DialogParent(), LongerImageWarning(path, size), MsgIcon::Exclamation,
                               MsgButtons::OKCancel) != MsgAnswer::OK)
            return;
        transfer.AcceptLongerImage();
    }
    transfer.Initialize(path, 4);
    transfer.exec();
    if (transfer.Outcome().ok())
        m_window.ShowStatusMessage(TransferSummary::RomText(TransferSummary::Kind::Write, transfer.ElapsedMs(), path),
                                   StatusLine::StatusMessageMs);
    // The transfer has shown any failure of its own. A file refused before
    // anything was sent leaves the box as it was: nothing to read back.
    if (transfer.Outcome().result == LinkResult::FileError)
        return;
    m_link.ForgetBox();
    m_connection.Read();
}

void ImageCommands::SaveRomToBin()
{
    const QString path = m_ui.files.saveFile(
        m_window.DialogParent(), "Save", ImageFormat::DialogFilter,
        SaveFileName::Dated(QStringLiteral("rom"), QDateTime::currentDateTime(), QStringLiteral("bin")));
    if (path.isEmpty())
        return;
    dlgXferROM transfer(m_port, m_ui.messages, m_window.DialogParent());
    transfer.Initialize(path, 3);
    transfer.exec();
    if (transfer.Outcome().ok())
        m_window.ShowStatusMessage(TransferSummary::RomText(TransferSummary::Kind::Read, transfer.ElapsedMs(), path),
                                   StatusLine::StatusMessageMs);
}

void ImageCommands::LoadStockProgram()
{
    bool loaded = false;
    int program = 0;
    QByteArray image;
    {
        dlgLoadBin dialog(m_port, m_ui.messages, m_window.DialogParent());
        dialog.exec();
        loaded = dialog.Loaded();
        program = dialog.Program();
        image = dialog.Image();
        if (dialog.TransferMs() >= 0)
            m_window.ShowStatusMessage(TransferSummary::RomText(TransferSummary::Kind::Write, dialog.TransferMs()),
                                       StatusLine::StatusMessageMs);
    }
    // Even a transfer that stopped part-way may have changed the box.
    m_link.ForgetBox();
    if (!loaded)
        return;
    // The read may be declined, or cancelled to keep unsaved changes: the tune
    // on screen then still belongs to its project file.
    bool replaced = false;
    const QMetaObject::Connection watch =
        connect(&m_state, &ProgramState::replaced, this, [&replaced] { replaced = true; });
    m_connection.Read();
    disconnect(watch);
    if (!replaced)
        return;
    // The tune no longer belongs to a project file.
    m_window.SetCurrentFileName(QString());
    m_window.SetTitle("Vantrelle");
    if (program != 0)
        emit stockProgramLoaded(program, image);
}
