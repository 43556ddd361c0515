#pragma once

// The whole main window over a private settings file, for the 3D view's
// tests through the menu.

#include "model/ProgramState.h"
#include "platform/FileDialogService.h"
#include "platform/ScriptedFileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "app/MainApplication.h"
#include "shell/frmMain.h"
#include "app/CVUserPrefs.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class AppFixture : public ::testing::Test
{
protected:
    AppFixture() : store(dir.filePath("Vantrelle.ini")) {}

    void start()
    {
        prefs = std::make_unique<CVUserPrefs>(store);
        app = std::make_unique<MainApplication>(*prefs, messages, files, StartOptions{});
        app->window().Load(QString());
    }
    frmMain &w() { return app->window(); }
    ProgramState &state() { return w().State(); }

    QTemporaryDir dir;
    SettingsStore store;
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    std::unique_ptr<CVUserPrefs> prefs;
    std::unique_ptr<MainApplication> app;
};
