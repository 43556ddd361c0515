#include "editors/ui/UndoAndCompareCommands.h"

#include "editors/ComparePlan.h"
#include "editors/EditSession.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/CompareWindow.h"
#include "link/ConnectionStates.h"
#include "link/TransferSummary.h"
#include "link/WriteReview.h"
#include "link/ui/dlgXfer.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/ProjectFile.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "link/LinkSettings.h"
#include "shell/MainWindow.h"
#include "shell/MainWindowPrefs.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

using namespace ConnectionState;

UndoAndCompareCommands::UndoAndCompareCommands(MainWindow &window, CVFuelTimingDlg &grid, LinkPort &port, EditSession &edits)
    : QObject(window.DialogParent()), m_window(window), m_state(window.State()), m_grid(grid), m_port(port),
      m_edits(edits), m_history(window.State().tune)
{
    ProgramState &state = window.State();
    m_history.Reset(!state.Modified);
    state.EditNoted = [this](const QString &label) { noted(label); };

    const MainActions &actions = window.Actions();
    connect(actions.mnuEditUndo, &QAction::triggered, this, &UndoAndCompareCommands::Undo);
    connect(actions.mnuEditRedo, &QAction::triggered, this, &UndoAndCompareCommands::Redo);
    connect(&window.Events(), &MainWindowEvents::tuneReplaced, this, [this] {
        m_history.Reset(!m_state.Modified);
        updateActions();
        refreshCompare();
    });
    connect(&window.Events(), &MainWindowEvents::tuneSaved, this, [this] {
        m_history.MarkSaved();
        updateActions();
    });

    // The write of the changes goes with the write, the box compare with the read.
    QAction *write = actions.mnuOptionsWrite;
    QAction *writeChanges = actions.mnuOptionsWriteChanges;
    auto mirrorWrite = [write, writeChanges] { writeChanges->setEnabled(write->isEnabled()); };
    connect(write, &QAction::changed, writeChanges, mirrorWrite);
    mirrorWrite();
    connect(writeChanges, &QAction::triggered, this, &UndoAndCompareCommands::WriteChanges);
    QAction *read = actions.mnuOptionsRead;
    QAction *compareBox = actions.mnuToolsCompareBox;
    auto mirrorRead = [read, compareBox] { compareBox->setEnabled(read->isEnabled()); };
    connect(read, &QAction::changed, compareBox, mirrorRead);
    mirrorRead();
    connect(compareBox, &QAction::triggered, this, [this] { CompareWithBox(); });
    connect(actions.mnuToolsCompareProject, &QAction::triggered, this, [this] { CompareWithProject(); });
    connect(actions.mnuToolsCompareImage, &QAction::triggered, this, [this] { CompareWithImage(); });
    connect(actions.mnuToolsCompareEnd, &QAction::triggered, this, &UndoAndCompareCommands::EndCompare);

    // The grid's block, clipboard and compare items join the window's "&Cell" menu.
    if (QMenu *cell = actions.mnuCell) {
        cell->addSeparator();
        for (BlockOps::Op op : {BlockOps::Op::Set, BlockOps::Op::Add, BlockOps::Op::Subtract, BlockOps::Op::Scale,
                                BlockOps::Op::InterpolateRows, BlockOps::Op::InterpolateColumns,
                                BlockOps::Op::InterpolateBilinear, BlockOps::Op::Smooth})
            cell->addAction(grid.blockAction(op));
        cell->addSeparator();
        for (QAction *a : {grid.copyAction(), grid.pasteAction(), grid.copyMapAction(), grid.takeCompareAction()})
            cell->addAction(a);
    }
    updateActions();
}

UndoAndCompareCommands::~UndoAndCompareCommands()
{
    // The window and its panels may already be gone; the state outlives them.
    m_state.EditNoted = nullptr;
}

// --- Undo and redo ------------------------------------------------------------

void UndoAndCompareCommands::noted(const QString &label)
{
    if (m_history.Record(label))
        m_state.Modified = !m_history.AtSavePoint();
    updateActions();
    refreshCompare();
}

void UndoAndCompareCommands::Undo()
{
    if (const HistoryStep *step = m_history.Undo())
        afterStep(*step, false);
}

void UndoAndCompareCommands::Redo()
{
    if (const HistoryStep *step = m_history.Redo())
        afterStep(*step, true);
    else
        updateActions();
}

void UndoAndCompareCommands::afterStep(const HistoryStep &step, bool forward)
{
    ProgramState &state = m_state;
    m_edits.Replay(step, forward);
    state.Modified = !m_history.AtSavePoint();
    // Back at what the box holds: nothing is waiting to be sent.
    if (!state.RealTimeEnabled && m_box.ItemsToWrite(state.tune).empty())
        state.ChangesNotSent = false;
    refreshPanels();
    updateActions();
    refreshCompare();
}

void UndoAndCompareCommands::updateActions()
{
    QAction *undo = m_window.Actions().mnuEditUndo;
    QAction *redo = m_window.Actions().mnuEditRedo;
    undo->setEnabled(m_history.CanUndo());
    undo->setText(m_history.CanUndo() ? QStringLiteral("&Undo ") + m_history.UndoLabel() : QStringLiteral("&Undo"));
    redo->setEnabled(m_history.CanRedo());
    redo->setText(m_history.CanRedo() ? QStringLiteral("&Redo ") + m_history.RedoLabel() : QStringLiteral("&Redo"));
}

void UndoAndCompareCommands::refreshPanels()
{
    // The panel on show refills itself from the tune.
    m_window.SelectPanel(m_state.CurrentPanel);
}

// --- Write the changes only -----------------------------------------------------

void UndoAndCompareCommands::WriteChanges()
{
    ProgramState &state = m_state;
    const LinkSettings &prefs = m_window.Prefs().link;
    MessageBoxService &messages = m_window.Ui().messages;
    if (state.RealTimeEnabled || prefs.ConnectionState() == NotConnected)
        return;
    const std::vector<TuneItem> items = m_box.ItemsToWrite(state.tune);
    if (items.empty()) {
        messages.info(m_window.DialogParent(), QStringLiteral("The Vantrelle already holds the current settings.  "
                                                              "There are no changes to write."));
        state.ChangesNotSent = false;
        return;
    }
    const QString details = ReviewWrite(state.tune, m_box, items, state.TuneOriginWarning).Text();
    if (!messages.askYesNo(m_window.DialogParent(), "Write the current settings to the Vantrelle?", details))
        return;
    m_window.SetConnectionState(Writing);
    QString summary;
    {
        dlgXfer dialog(m_port, state.tune, messages, m_window.DialogParent());
        dialog.SetState(Writing);
        dialog.SetItems(items);
        dialog.exec();
        if (dialog.Success())
            state.ChangesNotSent = false;
        m_box.RecordTransfer(state.tune, items, dialog.ItemsDone(), true);
        summary = TransferSummary::Text(TransferSummary::Kind::Write, dialog.ItemsDone(), int(items.size()),
                                        dialog.Success(), dialog.ElapsedMs());
    }
    m_window.SetConnectionState(Idle);
    m_window.ShowStatusMessage(summary, MainWindow::StatusMessageMs);
    BoxTransferred();
}

void UndoAndCompareCommands::BoxTransferred()
{
    if (!m_compare || !m_comparingWithBox)
        return;
    // The compared tune is what the box holds: every item now known follows it.
    for (TuneItem item : TransferWalk())
        if (const std::optional<QByteArray> held = m_box.Held(item))
            StoreItemBytes(*m_compare, item, *held);
    refreshCompare();
}

// --- Compare ----------------------------------------------------------------------

bool UndoAndCompareCommands::CompareWithProject(const QString &given)
{
    QString path = given;
    if (path.isEmpty())
        path = m_window.Ui().files.openFile(m_window.DialogParent(), "Open", ProjectFormat::DialogFilter);
    if (path.isEmpty())
        return false;
    Tune other;
    const FileOutcome read = ReadProjectFile(path, other);
    if (!read) {
        m_window.Ui().messages.exclamation(m_window.DialogParent(),
                                           QStringLiteral("Error when attempting to load map: ") + read.error);
        return false;
    }
    StartCompare(other, QFileInfo(path).fileName());
    return true;
}

bool UndoAndCompareCommands::CompareWithImage(const QString &given)
{
    QString path = given;
    if (path.isEmpty())
        path = m_window.Ui().files.openFile(m_window.DialogParent(), "Open", ImageFormat::DialogFilter);
    if (path.isEmpty())
        return false;
    QByteArray image;
    const FileOutcome read = ReadImageFile(path, image);
    if (!read) {
        m_window.Ui().messages.exclamation(m_window.DialogParent(), read.error);
        return false;
    }
    Tune other;
    TuneFromImage(image, other);
    StartCompare(other, QFileInfo(path).fileName());
    return true;
}

bool UndoAndCompareCommands::CompareWithBox()
{
    ProgramState &state = m_state;
    if (state.RealTimeEnabled || m_window.Prefs().link.ConnectionState() == NotConnected)
        return false;
    Tune other;
    bool success = false;
    QString summary;
    m_window.SetConnectionState(Reading);
    {
        dlgXfer dialog(m_port, other, m_window.Ui().messages, m_window.DialogParent());
        dialog.SetState(Reading);
        dialog.exec();
        success = dialog.Success();
        // What came in is what the box holds.
        m_box.RecordTransfer(other, TransferWalk(), dialog.ItemsDone(), false);
        summary = TransferSummary::Text(TransferSummary::Kind::Read, dialog.ItemsDone(),
                                        int(TransferWalk().size()), success, dialog.ElapsedMs());
    }
    m_window.SetConnectionState(Idle);
    m_window.ShowStatusMessage(summary, MainWindow::StatusMessageMs);
    if (!success)
        return false;
    StartCompare(other, QStringLiteral("the Vantrelle"));
    m_comparingWithBox = true;
    return true;
}

void UndoAndCompareCommands::StartCompare(const Tune &other, const QString &name)
{
    m_compare = std::make_unique<Tune>(other);
    m_compareName = name;
    m_comparingWithBox = false;
    m_grid.SetCompareTune(m_compare.get(), name);
    m_window.Actions().mnuToolsCompareEnd->setEnabled(true);
    if (!m_compareWindow) {
        m_compareWindow = new CompareWindow(m_window.DialogParent());
        m_compareWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_compareWindow, &CompareWindow::takeItem, this, [this](TuneItem item) { TakeItem(item); });
        connect(m_compareWindow, &CompareWindow::takeAll, this, [this] { TakeAll(); });
        connect(m_compareWindow, &QObject::destroyed, this, [this] {
            if (m_compare)
                EndCompare();
        });
    }
    refreshCompare();
    m_compareWindow->show();
    m_compareWindow->raise();
}

void UndoAndCompareCommands::EndCompare()
{
    m_compare.reset();
    m_compareName.clear();
    m_comparingWithBox = false;
    m_grid.SetCompareTune(nullptr);
    m_window.Actions().mnuToolsCompareEnd->setEnabled(false);
    if (m_compareWindow)
        m_compareWindow->close();
}

std::vector<ItemChange> UndoAndCompareCommands::CompareDifferences() const
{
    if (!m_compare)
        return {};
    // The acceleration table is in project files only; it is listed too.
    return TuneHistory::Differences(m_state.tune, *m_compare);
}

void UndoAndCompareCommands::refreshCompare()
{
    if (!m_compare)
        return;
    m_grid.SetCompareTune(m_compare.get(), m_compareName);
    if (m_compareWindow)
        m_compareWindow->Fill(m_compareName, CompareDifferences(),
                              ComparePlan::ValueDifferences(m_state.tune, *m_compare));
}

bool UndoAndCompareCommands::takeOver(std::optional<TuneItem> item)
{
    if (!m_compare)
        return false;
    const ComparePlan::ItemTake take = ComparePlan::TakeItems(m_state.tune, *m_compare, item, m_compareName);
    if (take.changes.empty())
        return false;
    m_edits.CommitItems(take.changes, take.label);
    refreshPanels();
    refreshCompare();
    return true;
}

bool UndoAndCompareCommands::TakeItem(TuneItem item)
{
    return takeOver(item);
}

bool UndoAndCompareCommands::TakeAll()
{
    return takeOver(std::nullopt);
}
