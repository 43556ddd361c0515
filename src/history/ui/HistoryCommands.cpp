#include "history/ui/HistoryCommands.h"

#include "history/HistoryRecorder.h"
#include "history/TuneJournal.h"
#include "history/ui/HistoryWindow.h"
#include "link/LinkSession.h"
#include "model/ProgramState.h"
#include "model/ProjectFile.h"
#include "platform/FileIO.h"
#include "platform/MessageBoxService.h"
#include "platform/UiServices.h"
#include "platform/ui/Actions.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

enum Choice { Restore = 0, Compare = 1, Discard = 2, Later = 3 };

QString offerText(const JournalFormat::State &s)
{
    const QString file = s.fileName.isEmpty() ? QStringLiteral("a tune not saved to a file")
                                              : QDir::toNativeSeparators(s.fileName);
    QStringList flags;
    if (s.modified)
        flags << QStringLiteral("changes not saved");
    if (s.notSent)
        flags << QStringLiteral("changes not written to the Vantrelle");
    return QStringLiteral("Vantrelle ended without closing its edit journal when it last ran (a crash, a kill or a "
                          "power loss). The tune it was editing is kept as it was at its last change:\n\n%1\nlast "
                          "changed %2%3\n\nRestore it, open it beside the current tune to compare, or discard it? "
                          "Later keeps it and asks again at the next start.")
        .arg(file, s.at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             flags.isEmpty() ? QString() : QStringLiteral(" (") + flags.join(QStringLiteral(", ")) + QLatin1Char(')'));
}

// A log as it was when a correction used it: its size and a hash of its bytes.
std::pair<qint64, QString> identityOf(const QString &path)
{
    QFile file(path);
    if (CheckReadableFile(path).ok && file.open(QIODevice::ReadOnly)) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (hash.addData(&file))
            return {file.size(), QString::fromLatin1(hash.result().toHex())};
    }
    return {QFileInfo(path).size(), QString()};
}

} // namespace

HistoryCommands::HistoryCommands(const Parts &parts)
    : QObject(parts.window.DialogParent()), m_window(parts.window), m_state(parts.state), m_link(parts.link),
      m_edits(parts.edits), m_ui(parts.ui), m_journal(parts.journal), m_store(parts.store)
{
    m_store.Load();
    m_recorder = new HistoryRecorder(m_store, m_state, [this] { return m_window.CurrentFileName(); }, this);

    // Whatever changed the tune, its flags or its file, the journal looks.
    const auto capture = [this] { m_journal.Capture(); };
    connect(&m_state, &ProgramState::contentsChanged, this, capture);
    connect(&m_state, &ProgramState::flagsChanged, this, capture);
    connect(&m_state, &ProgramState::saved, this, capture);
    // A whole write puts the journal on disk before the first frame.
    connect(&m_link, &LinkSession::changed, this, [this] {
        if (m_link.ConnectionState() == ConnectionState::Writing) {
            m_journal.Capture();
            m_journal.Sync();
        }
    });

    connect(&m_state, &ProgramState::saved, m_recorder, &HistoryRecorder::Saved);
    connect(&m_link, &LinkSession::transferred, m_recorder, &HistoryRecorder::Transferred);
    connect(&m_link, &LinkSession::realTimeWritten, m_recorder, &HistoryRecorder::RealTimeWritten);
    connect(&m_link, &LinkSession::realTimeStopped, m_recorder, &HistoryRecorder::RealTimeEnded);

    const auto tell = [this](const QString &why) {
        if (std::exchange(m_failureTold, true))
            return;
        m_ui.messages.exclamation(m_window.DialogParent(),
                                  QStringLiteral("The tune's journal or history could not be written: %1\n\nEditing goes "
                                                 "on; save the project to keep your work.")
                                      .arg(why));
    };
    connect(&m_journal, &TuneJournal::failed, this, tell);
    connect(m_recorder, &HistoryRecorder::failed, this, tell);

    QAction *history = NewAction(this, "&History...", "mnuToolsHistory");
    m_window.AddAction(MenuPlace::ToolsCompare, history);
    connect(history, &QAction::triggered, this, [this] { ShowHistory(); });
    m_window.AddUnloadParticipant(this);
}

HistoryCommands::~HistoryCommands()
{
    delete m_historyWindow;
}

HistoryWindow *HistoryCommands::historyWindow() const
{
    return m_historyWindow;
}

HistoryWindow &HistoryCommands::ShowHistory()
{
    if (!m_historyWindow)
        m_historyWindow = new HistoryWindow(m_store, m_state, m_edits, m_ui, m_window.DialogParent());
    connect(m_recorder, &HistoryRecorder::recorded, m_historyWindow, &HistoryWindow::Refresh, Qt::UniqueConnection);
    m_historyWindow->Refresh();
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
    return *m_historyWindow;
}

void HistoryCommands::StartJournal(const std::function<void(const Tune &, const QString &)> &compareWith)
{
    offerLeftBehind(compareWith);
    m_journal.Start();
}

void HistoryCommands::offerLeftBehind(const std::function<void(const Tune &, const QString &)> &compareWith)
{
    std::vector<LeftBehindJournal> found = FindLeftBehindJournals(m_journal.Folder(), ProjectFormat::Size);
    for (LeftBehindJournal &left : found) {
        if (!left.replay.ok) {
            RemoveJournal(left); // nothing whole to give back
            continue;
        }
        const JournalFormat::State &s = left.replay.state;
        const QStringList buttons{QStringLiteral("Restore"), QStringLiteral("Compare"), QStringLiteral("Discard"),
                                  QStringLiteral("Later")};
        const int choice = m_ui.messages.choose(m_window.DialogParent(), offerText(s), MsgIcon::Question, buttons, Later);
        Tune tune;
        DecodeProject(s.project, tune);
        if (choice == Restore) {
            m_state.tune = tune;
            m_window.SetCurrentFileName(s.fileName);
            m_window.SetTitle(s.fileName.isEmpty() ? QStringLiteral("Vantrelle")
                                                   : QStringLiteral("Vantrelle - ") + s.fileName);
            m_state.NoteRecovered(s.modified, s.notSent);
            m_window.BuildTree();
            m_recorder->Record(HistoryKind::Restore, QStringLiteral("the journal of %1")
                                                         .arg(s.at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        } else if (choice == Compare && compareWith) {
            compareWith(tune, QStringLiteral("the tune recovered from %1")
                                  .arg(s.at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        }
        if (choice == Later)
            continue;
        RemoveJournal(left);
    }
}

void HistoryCommands::CorrectionApplied(const std::vector<CorrectionRecord> &cells, const QString &logPath)
{
    const std::optional<int> id = m_recorder->Record(HistoryKind::FuelCorrection, QDir::toNativeSeparators(logPath));
    const auto [size, hash] = identityOf(logPath);
    std::vector<CorrectionRecord> records = cells;
    for (CorrectionRecord &r : records) {
        r.logPath = logPath;
        r.logSize = size;
        r.logHash = hash;
        r.historyId = id.value_or(0);
    }
    if (!m_store.AddCorrections(records))
        emit m_recorder->failed(m_store.Error());
}

void HistoryCommands::Unloading()
{
    m_journal.Finish();
}
