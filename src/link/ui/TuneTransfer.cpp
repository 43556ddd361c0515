#include "link/ui/TuneTransfer.h"

#include "link/LinkSession.h"
#include "link/TransferSummary.h"
#include "link/ui/dlgXfer.h"
#include "shell/MainWindow.h"

TuneTransferResult RunTuneTransfer(const TuneTransferContext &context, Tune &tune, bool reading,
                                   const std::optional<std::vector<TuneItem>> &items)
{
    TuneTransferResult result;
    if (!context.link.BeginTransfer(reading))
        return result;
    result.ran = true;
    const std::vector<TuneItem> &walk = items ? *items : TransferWalk();
    QString summary;
    {
        dlgXfer dialog(context.port, tune, context.messages, context.parent);
        dialog.SetState(reading ? ConnectionState::Reading : ConnectionState::Writing);
        if (items)
            dialog.SetItems(*items);
        dialog.exec();
        result.success = dialog.Success();
        result.itemsDone = dialog.ItemsDone();
        context.link.RecordTransfer(tune, walk, result.itemsDone, !reading);
        summary = TransferSummary::Text(reading ? TransferSummary::Kind::Read : TransferSummary::Kind::Write,
                                        result.itemsDone, static_cast<int>(walk.size()), result.success,
                                        dialog.ElapsedMs());
    }
    context.link.EndTransfer();
    context.status.ShowStatusMessage(summary, StatusLine::StatusMessageMs);
    return result;
}
