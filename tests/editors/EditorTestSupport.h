#pragma once

// Shared pieces of the editor tests: a real editor settings object over a
// settings file in a temporary folder, the program state, a scripted message
// box service, a real-time sender that records what it is given and the edit
// session the panels commit through.

#include "editors/EditSession.h"
#include "link/RealTimeSender.h"
#include "model/ProgramState.h"
#include "platform/MessageBoxService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "editors/EditorSettings.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

struct SentValue
{
    int item = 0;
    int index = 0;
    int value = 0;
    bool operator==(const SentValue &) const = default;
};

inline std::ostream &operator<<(std::ostream &os, const SentValue &s)
{
    return os << "{item " << s.item << ", index " << s.index << ", value " << s.value << "}";
}

class RecordingSender : public RealTimeSender
{
public:
    void SendRealTimeValue(int item, int index, int value) override { values.push_back({item, index, value}); }
    void SendRealTimeVersion(const QString &text) override { versions.push_back(text); }

    std::vector<SentValue> values;
    std::vector<QString> versions;
};

class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        store = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("prefs.ini")));
        prefs = std::make_unique<EditorSettings>(*store);
    }
    void TearDown() override
    {
        prefs.reset();
        store.reset();
    }

    // Shows a panel as a window of its own and makes it the active window, so
    // that focus changes behave as they do for the user.
    static void showActive(QWidget *w, QSize size = QSize(900, 600))
    {
        w->resize(size);
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }

    // Types text into a box (replacing what is there) and presses Enter.
    static void typeAndEnter(QWidget *box, const QString &text)
    {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Delete);
        if (!text.isEmpty())
            QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    QStringList shownTexts() const { return messages.texts(); }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<EditorSettings> prefs;
    ProgramState state;
    RecordingSender sender;
    EditSession edits{state, sender};
    ScriptedMessageBoxService messages;
};
