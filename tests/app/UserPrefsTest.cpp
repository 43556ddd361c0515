// The preferences of one run, kept by their owners (windows, link, editors,
// DAQ) in one settings file: every stored value keeps its section, key and
// text form, so files written before the split read and write the same.

#include "app/CVUserPrefs.h"
#include "model/RecentFiles.h"
#include "platform/SettingsStore.h"

#include <QSettings>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {
class UserPrefsTest : public ::testing::Test
{
protected:
    QString ini() const { return dir.filePath("Vantrelle.ini"); }
    QTemporaryDir dir;
};
} // namespace

// Each row: a value as an older file holds it, what its owner reads, the
// value set during the run and how it is written back on release.
TEST_F(UserPrefsTest, EveryStoredValueKeepsItsKeyAndForm)
{
    using P = CVUserPrefs;
    struct Row
    {
        const char *key;
        const char *stored;
        const char *shown; // what its owner reads, as text
        std::function<QString(P &)> read;
        std::function<void(P &)> change;
        const char *written;
    };
    const auto number = [](int v) { return QString::number(v); };
    const auto flag = [](bool v) { return v ? QStringLiteral("true") : QStringLiteral("false"); };
    const Row rows[] = {
        {"Settings/ShowEULADialog", "False", "false", [&](P &p) { return flag(p.window.ShowEULADialog()); },
         [](P &p) { p.window.SetShowEULADialog(true); }, "True"},
        {"Settings/PortName", "/dev/ttyUSB0", "/dev/ttyUSB0", [](P &p) { return p.link.PortName(); },
         [](P &p) { p.link.SetPortName("/dev/ttyS1"); }, "/dev/ttyS1"},
        {"Settings/ShowRTWarning", "false", "false", [&](P &p) { return flag(p.link.ShowRTWarning()); },
         [](P &p) { p.link.SetShowRTWarning(true); }, "True"},
        {"Settings/GridFontBold", "TRUE", "true", [&](P &p) { return flag(p.editor.GridFontBold()); },
         [](P &p) { p.editor.SetGridFontBold(false); }, "False"},
        {"Settings/HighlightMode", " 1 ", "1", [&](P &p) { return number(p.daq.HighlightMode()); },
         [](P &p) { p.daq.SetHighlightMode(0); }, "0"},
        {"Settings/StagedRevLimiterInput", "Launch", "Launch", [](P &p) { return p.daq.StagedRevLimiterInput(); },
         [](P &p) { p.daq.SetStagedRevLimiterInput("Clutch"); }, "Clutch"},
    };
    {
        QSettings raw(ini(), QSettings::IniFormat);
        for (const Row &r : rows)
            raw.setValue(r.key, r.stored);
        raw.setValue("MRU", "/a.vnt;/b.vnt");
    }
    {
        SettingsStore store(ini());
        CVUserPrefs p(store);
        for (const Row &r : rows) {
            EXPECT_EQ(r.read(p), r.shown) << r.key;
            r.change(p);
        }
    }
    QSettings raw(ini(), QSettings::IniFormat);
    for (const Row &r : rows)
        EXPECT_EQ(raw.value(r.key).toString(), r.written) << r.key;
    EXPECT_EQ(raw.value("MRU").toString(), "/a.vnt;/b.vnt") << "other owners' values are left alone";
    EXPECT_EQ(raw.childGroups(), (QStringList{"LabJack", "Settings"}));
}

TEST_F(UserPrefsTest, UnconvertibleValuesFallBackToTheDefault)
{
    {
        QSettings raw(ini(), QSettings::IniFormat);
        raw.setValue("Settings/MainWidth", "wide");
        raw.setValue("Settings/ShowRTWarning", "maybe");
        raw.setValue("Settings/COMPort", "12");
        raw.setValue("LabJack/SampleRate", "0");
    }
    SettingsStore store(ini());
    CVUserPrefs p(store);
    EXPECT_EQ(std::tuple(p.window.WndWidth(), p.link.ShowRTWarning(), p.link.COMPort(), p.daq.DAQSampleRate()),
              std::tuple(6500, true, 1, 100));
}

// Newest first, an exact match moves up, at most nine; kept as one
// semicolon-separated value and read back the same.
TEST(RecentFilesTest, NewestFirstAtMostNineStoredAsOneValue)
{
    RecentFiles mru;
    for (int i = 1; i <= 3; ++i)
        mru.Update(QString("/t/%1.vnt").arg(i), false);
    mru.Update("/t/1.vnt", false);
    EXPECT_EQ(mru.entries(), (QStringList{"/t/1.vnt", "/t/3.vnt", "/t/2.vnt"}));
    mru.Update("/T/1.vnt", false); // case matters
    EXPECT_EQ(mru.entries().size(), 4);
    for (int i = 4; i <= 12; ++i)
        mru.Update(QString("/t/%1.vnt").arg(i), false);
    EXPECT_EQ(std::pair(mru.entries().size(), mru.entries().last()), std::pair(qsizetype(9), QString("/t/4.vnt")));
    EXPECT_EQ(RecentFiles::PathFromCaption(RecentFiles::Caption(3, "/odd/%1 name.vnt")), "/odd/%1 name.vnt");

    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    RecentFiles small;
    small.Update("b.vnt", false);
    small.Update("a.vnt", false);
    small.Save(store);
    QString text;
    ASSERT_EQ(store.ReadText("", "MRU", text), 0);
    EXPECT_EQ(text, "a.vnt;b.vnt");
    RecentFiles again;
    again.Load(store);
    EXPECT_EQ(again.entries(), (QStringList{"a.vnt", "b.vnt"}));
}
