#include "daq/LogRecovery.h"

#include "daq/CVRTLogger.h"
#include "daq/DataLogFile.h"
#include "platform/MessageBoxService.h"

#include <QDir>

namespace LogRecovery {

QStringList ChoiceCaptions()
{
    return {QStringLiteral("Save..."), QStringLiteral("Open in Viewer"), QStringLiteral("Discard"),
            QStringLiteral("Later")};
}

void OfferLeftBehindLogs(CVRTLogger &logger, MessageBoxService &messages, QWidget *parent,
                         const std::function<void(const QString &)> &openInViewer)
{
    for (LeftBehindLog &log : FindLeftBehindLogs(logger.LogFolder())) {
        if (log.samples == 0) {
            RemoveLeftBehindLog(log); // a header at most: nothing to lose
            continue;
        }
        const QString text =
            QStringLiteral("Vantrelle ended without closing a datalog when it last ran (a crash, a kill or a "
                           "power loss). The datalog was kept:\n\n%1\n%2 samples, last written %3\n\n"
                           "Save it, open it in the datalog viewer, or discard it? Later keeps it and asks again "
                           "at the next start.")
                .arg(QDir::toNativeSeparators(log.path))
                .arg(log.samples)
                .arg(log.lastWritten.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        switch (messages.choose(parent, text, MsgIcon::Question, ChoiceCaptions(), Later)) {
        case Save:
            if (logger.SaveCopyOf(log.path))
                RemoveLeftBehindLog(log);
            break;
        case OpenInViewer:
            // Held as the current log, it is saved from the menu or offered on
            // exit; when a log is held already, this one waits for the next start.
            logger.Adopt(log);
            if (openInViewer)
                openInViewer(log.path);
            break;
        case Discard:
            RemoveLeftBehindLog(log);
            break;
        default:
            break;
        }
    }
}

} // namespace LogRecovery
