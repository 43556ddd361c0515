#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class CVRTLogger;
class MessageBoxService;
class QWidget;

// At start-up: every log an earlier run left in the logger's folder without
// closing it (a crash, a kill, a power loss) is offered, one after the
// other: save it, open it in the datalog viewer (it then becomes the current
// log, saved from the menu or offered on exit), discard it, or keep it for
// the next start. A log holding no samples goes without a word; a log
// another running instance is writing is never offered.
namespace LogRecovery {

// The buttons of the offer, in this order; Escape or closing the box keeps.
enum Choice { Save = 0, OpenInViewer = 1, Discard = 2, Later = 3 };
QStringList ChoiceCaptions();

void OfferLeftBehindLogs(CVRTLogger &logger, MessageBoxService &messages, QWidget *parent,
                         const std::function<void(const QString &)> &openInViewer);

} // namespace LogRecovery
