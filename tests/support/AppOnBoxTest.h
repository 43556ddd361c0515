#pragma once
// The one fixture of the tests that run the whole application: the real main
// window, panels and commands over a private settings file, scripted message
// boxes and file dialogs, and, for the link, vantrelle-boxsim on a
// pseudo-terminal. Header only, as it needs the widget library that only such
// tests link.
#include "app/CVUserPrefs.h"
#include "app/MainApplication.h"
#include "support/ScriptedFileDialogService.h"
#include "support/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "shell/Panels.h"
#include "shell/frmMain.h"
#include "support/BoxSim.h"
#include "support/LiveLink.h"
#include <QAction>
#include <QApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class AppOnBoxTest : public ::testing::Test
{
protected:
    AppOnBoxTest() : store(dir.filePath("Vantrelle.ini")) {}
    ~AppOnBoxTest() override
    {
        app.reset(); // before the preferences it writes back
        prefs.reset();
    }
    // The preferences the next start() reads: what a test stores here (DAQ
    // inputs, scalars) is written back before the application starts.
    CVUserPrefs &preferences()
    {
        if (!prefs)
            prefs = std::make_unique<CVUserPrefs>(store);
        return *prefs;
    }
    // The application alone (no box), loading commandLine as the program does.
    void start(const QString &commandLine = QString(), StartOptions options = {})
    {
        app.reset();
        prefs.reset(); // writes back what the last run changed before it is read again
        prefs = std::make_unique<CVUserPrefs>(store);
        prefs->link.SetShowRTWarning(false);
        options.projectPath = commandLine;
        app = std::make_unique<MainApplication>(*prefs, messages, files, options);
        app->load();
    }
    // A box started with boxArgs and the application on it, the handshake in
    // 100 ms steps.
    void startOnBox(const QStringList &boxArgs = {}, bool simulatedDaq = false)
    {
        app.reset();
        box = std::make_unique<BoxSim>(boxArgs);
        ASSERT_TRUE(box->started());
        StartOptions options;
        options.portName = box->device();
        options.fastHandshake = true;
        options.simulatedDaq = simulatedDaq;
        start(QString(), options);
    }
    // Connects, answering the read question with readAnswer.
    void connectBox(MsgAnswer readAnswer = MsgAnswer::Yes)
    {
        messages.queue(MsgAnswer::Yes); // "Ensure that your car is not running..."
        messages.queue(readAnswer);     // "Read the current Vantrelle settings?"
        act("mnuOptionsConnect")->trigger();
    }
    frmMain &w() { return app->window(); }
    ProgramState &state() { return app->state(); }
    LinkSession &link() { return app->link(); }
    // A menu item or toolbar button of the window by its control name.
    QAction *act(const char *name)
    {
        QAction *a = w().findChild<QAction *>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    // Selects panel index and returns its widget as the panel class T.
    template <class T> T &panel(int index)
    {
        w().SelectPanel(index);
        T *p = dynamic_cast<T *>(w().Panels().At(index)->widget());
        EXPECT_NE(p, nullptr) << "panel " << index;
        return *p;
    }
    // The box's received frames that start with prefix ("57 00").
    QStringList framesStartingWith(const QString &prefix)
    {
        return box->logLines().filter(QRegularExpression("^" + prefix));
    }
    static bool waitFor(const std::function<bool()> &done, int timeoutMs = 20000)
    {
        return QTest::qWaitFor(done, timeoutMs);
    }
    QTemporaryDir dir;
    SettingsStore store;
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    std::unique_ptr<BoxSim> box;
    std::unique_ptr<CVUserPrefs> prefs;
    std::unique_ptr<MainApplication> app;
};

// Acts on the next modal dialog named objectName (any, when empty) once it
// is up (modal dialogs run their own event loop, so the test cannot act
// after exec()).
inline void OnNextModal(const QString &objectName, std::function<void(QWidget *)> act)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, objectName, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && (objectName.isEmpty() || modal->objectName() == objectName)) {
            poll->stop();
            poll->deleteLater();
            act(modal);
        }
    });
    poll->start();
}
