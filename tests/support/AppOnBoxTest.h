#pragma once

// A test fixture with the whole application running on a simulated box: the
// real main window and commands, a private settings file, scripted message
// boxes and file dialogs, and vantrelle-boxsim on a pseudo-terminal. Header
// only, as it needs the widget library that only such tests link.

#include "platform/FileDialogService.h"
#include "platform/ScriptedFileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "app/MainApplication.h"
#include "shell/frmMain.h"
#include "app/CVUserPrefs.h"
#include "support/BoxSim.h"

#include <QAction>
#include <QApplication>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class AppOnBoxTest : public ::testing::Test
{
protected:
    AppOnBoxTest() : store(dir.filePath("Vantrelle.ini")) {}

    // Starts the box with boxArgs and the application on it: the real-time
    // warning off, the handshake in 100 ms steps.
    void startApp(const QStringList &boxArgs = {}, bool simulatedDaq = false)
    {
        box = std::make_unique<BoxSim>(boxArgs);
        ASSERT_TRUE(box->started());
        prefs = std::make_unique<CVUserPrefs>(store);
        prefs->link.SetShowRTWarning(false);
        StartOptions options;
        options.portName = box->device();
        options.fastHandshake = true;
        options.simulatedDaq = simulatedDaq;
        app = std::make_unique<MainApplication>(*prefs, messages, files, options);
        app->window().Load(QString());
    }

    // Connects, answering the read question with readAnswer.
    void connectBox(MsgAnswer readAnswer = MsgAnswer::Yes)
    {
        messages.queue(MsgAnswer::Yes); // "Ensure that your car is not running..."
        messages.queue(readAnswer);     // "Read the current Vantrelle settings?"
        w().Actions().mnuOptionsConnect->trigger();
    }

    frmMain &w() { return app->window(); }
    ProgramState &state() { return w().State(); }
    // The box's received frames that start with prefix ("57 00").
    QStringList framesStartingWith(const QString &prefix)
    {
        return box->logLines().filter(QRegularExpression("^" + prefix));
    }

    QTemporaryDir dir;
    SettingsStore store;
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    std::unique_ptr<BoxSim> box;
    std::unique_ptr<CVUserPrefs> prefs;
    std::unique_ptr<MainApplication> app;
};

// Acts on the next modal dialog named objectName once it is up (modal
// dialogs run their own event loop, so the test cannot act after exec()).
inline void OnNextModal(const QString &objectName, std::function<void(QWidget *)> act)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, objectName, act] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == objectName) {
            poll->stop();
            poll->deleteLater();
            act(modal);
        }
    });
    poll->start();
}
