#include "editors/ui/CompareCommands.h"

#include "commands/ui/CommandEnabler.h"
#include "editors/ComparePlan.h"
#include "editors/EditSession.h"
#include "editors/ui/CVFuelTimingDlg.h"
#include "editors/ui/GridCompareMarks.h"
#include "link/LinkSession.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/ProjectFile.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "platform/ui/Actions.h"
#include "shell/MainWindow.h"

#include <QFileInfo>
#include <QMenu>

CompareCommands::CompareCommands(MainWindow &window, ProgramState &state, LinkSession &link, LinkPort &port,
                                 UiServices &ui, CVFuelTimingDlg &grid, EditSession &edits, CommandEnabler &commands)
    : QObject(window.DialogParent()), m_window(window), m_state(state), m_link(link), m_port(port), m_ui(ui),
      m_grid(grid), m_edits(edits)
{
    // A second tune beside the one being edited.
    QMenu *menu = window.AddSubmenu(MenuPlace::ToolsCompare, "Co&mpare", "mnuToolsCompare");
    QAction *project = NewAction(this, "With &Project File...", "mnuToolsCompareProject");
    QAction *image = NewAction(this, "With &Image File...", "mnuToolsCompareImage");
    QAction *box = NewAction(this, "With &Vantrelle Contents...", "mnuToolsCompareBox");
    QAction *end = NewAction(this, "&End Comparison", "mnuToolsCompareEnd");
    menu->addActions({project, image, box, end});
    commands.Register(Command::CompareWithBox, box);
    commands.Register(Command::EndComparison, end);
    connect(project, &QAction::triggered, this, [this] { CompareWithProject(); });
    connect(image, &QAction::triggered, this, [this] { CompareWithImage(); });
    connect(box, &QAction::triggered, this, [this] { CompareWithBox(); });
    connect(end, &QAction::triggered, this, &CompareCommands::EndCompare);

    // The compared tune is redrawn against every change of the tune.
    connect(&state, &ProgramState::editNoted, this, &CompareCommands::refresh);
    connect(&state, &ProgramState::replaced, this, &CompareCommands::refresh);
    connect(&link, &LinkSession::boxChanged, this, &CompareCommands::boxChanged);
}

CompareCommands::~CompareCommands() = default;

void CompareCommands::boxChanged()
{
    if (!m_compare || !m_comparingWithBox)
        return;
    // The compared tune is what the box holds: every item now known follows it.
    for (TuneItem item : TransferWalk())
        if (const std::optional<QByteArray> held = m_link.Box().Held(item))
            StoreItemBytes(*m_compare, item, *held);
    refresh();
}

bool CompareCommands::CompareWithProject(const QString &given)
{
    QString path = given;
    if (path.isEmpty())
        path = m_ui.files.openFile(m_window.DialogParent(), "Open", ProjectFormat::DialogFilter);
    if (path.isEmpty())
        return false;
    Tune other;
    const FileOutcome read = ReadProjectFile(path, other);
    if (!read) {
        m_ui.messages.exclamation(m_window.DialogParent(), QStringLiteral("Error when attempting to load map: ") + read.error);
        return false;
    }
    StartCompare(other, QFileInfo(path).fileName());
    return true;
}

bool CompareCommands::CompareWithImage(const QString &given)
{
    QString path = given;
    if (path.isEmpty())
        path = m_ui.files.openFile(m_window.DialogParent(), "Open", ImageFormat::DialogFilter);
    if (path.isEmpty())
        return false;
    QByteArray image;
    const FileOutcome read = ReadImageFile(path, image);
    if (!read) {
        m_ui.messages.exclamation(m_window.DialogParent(), read.error);
        return false;
    }
    Tune other;
    TuneFromImage(image, other);
    StartCompare(other, QFileInfo(path).fileName());
    return true;
}

bool CompareCommands::CompareWithBox()
{
    if (m_link.RealTimeEnabled() || !m_link.Connected())
        return false;
    Tune other;
    // What comes in is what the box holds; the tune on screen stays.
    const TuneTransferResult result =
        RunTuneTransfer({m_link, m_port, m_ui.messages, m_window.DialogParent(), m_window}, other, true);
    if (!result.success)
        return false;
    StartCompare(other, QStringLiteral("the Vantrelle"));
    m_comparingWithBox = true;
    return true;
}

void CompareCommands::StartCompare(const Tune &other, const QString &name)
{
    m_compare = std::make_unique<Tune>(other);
    m_compareName = name;
    m_comparingWithBox = false;
    m_grid.compareMarks().SetCompareTune(m_compare.get(), name);
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
    refresh();
    m_compareWindow->show();
    m_compareWindow->raise();
    emit changed();
}

void CompareCommands::EndCompare()
{
    m_compare.reset();
    m_compareName.clear();
    m_comparingWithBox = false;
    m_grid.compareMarks().SetCompareTune(nullptr);
    if (m_compareWindow)
        m_compareWindow->close();
    emit changed();
}

std::vector<ItemChange> CompareCommands::CompareDifferences() const
{
    if (!m_compare)
        return {};
    // The acceleration table is in project files only; it is listed too.
    return TuneHistory::Differences(m_state.tune, *m_compare);
}

void CompareCommands::refresh()
{
    if (!m_compare)
        return;
    m_grid.compareMarks().SetCompareTune(m_compare.get(), m_compareName);
    if (m_compareWindow)
        m_compareWindow->Fill(m_compareName, CompareDifferences(),
                              ComparePlan::ValueDifferences(m_state.tune, *m_compare));
}

bool CompareCommands::takeOver(std::optional<TuneItem> item)
{
    if (!m_compare)
        return false;
    const ComparePlan::ItemTake take = ComparePlan::TakeItems(m_state.tune, *m_compare, item, m_compareName);
    if (take.changes.empty())
        return false;
    m_edits.CommitItems(take.changes, take.label);
    m_window.RefreshPanel();
    refresh();
    return true;
}

bool CompareCommands::TakeItem(TuneItem item)
{
    return takeOver(item);
}

bool CompareCommands::TakeAll()
{
    return takeOver(std::nullopt);
}
