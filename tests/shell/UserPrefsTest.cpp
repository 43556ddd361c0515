#include "platform/SettingsStore.h"
#include "shell/prefs/CVUserPrefs.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class UserPrefsTest : public ::testing::Test
{
protected:
    QString ini() const { return dir.filePath("Vantrelle.ini"); }
    QTemporaryDir dir;
};
} // namespace

TEST_F(UserPrefsTest, FreshUserGetsTheDefaults)
{
    SettingsStore store(ini());
    CVUserPrefs p(store);
    EXPECT_EQ(p.WndLeftPos(), 1000);
    EXPECT_EQ(p.WndTopPos(), 1000);
    EXPECT_EQ(p.WndWidth(), 6500);
    EXPECT_EQ(p.WndHeight(), 6500);
    EXPECT_EQ(p.SplitterX(), 2500);
    EXPECT_EQ(p.COMPort(), 1);
    EXPECT_EQ(p.PortName(), "");
    EXPECT_EQ(p.ConnectionState(), 0);
    EXPECT_TRUE(p.ShowRTWarning());
    EXPECT_TRUE(p.ShowEULADialog());
    EXPECT_EQ(p.HighlightMode(), 0);
    EXPECT_EQ(p.DataLogFormat(), 1);
    EXPECT_EQ(p.DAQSampleRate(), 100);
    EXPECT_EQ(p.DAQRPMMultiplier(), 150);
    EXPECT_EQ(p.GridFontName(), "MS Sans Serif");
    EXPECT_EQ(p.GridFontSize(), 8);
    EXPECT_FALSE(p.GridFontBold());
    EXPECT_FALSE(p.GridFontItalic());
    EXPECT_FALSE(p.StagedRevLimiterEnabled());
    EXPECT_EQ(p.StagedRevLimiter(), 60);
    EXPECT_EQ(p.StagedRevLimiterInput(), "");
}

TEST_F(UserPrefsTest, ReleaseWritesEveryScalarAsTextInItsSection)
{
    {
        SettingsStore store(ini());
        CVUserPrefs p(store);
        p.SetGridFontName("DejaVu Sans");
        p.SetGridFontSize(11);
        p.SetGridFontBold(true);
        p.SetDAQSampleRate(25);
        p.SetCOMPort(3);
        p.SetConnectionState(2); // held for the run only
    }
    QSettings raw(ini(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Settings/GridFontName").toString(), "DejaVu Sans");
    EXPECT_EQ(raw.value("Settings/GridFontSize").toString(), "11");
    EXPECT_EQ(raw.value("Settings/GridFontBold").toString(), "True");
    EXPECT_EQ(raw.value("Settings/GridFontItalic").toString(), "False");
    EXPECT_EQ(raw.value("Settings/MainLeft").toString(), "1000");
    EXPECT_EQ(raw.value("LabJack/SampleRate").toString(), "25");
    EXPECT_EQ(raw.value("LabJack/RPMMultiplier").toString(), "150");
    EXPECT_FALSE(raw.contains("Settings/ConnectionState"));
    EXPECT_FALSE(raw.contains("Settings/SampleRate"));

    SettingsStore store(ini());
    CVUserPrefs next(store);
    EXPECT_EQ(next.GridFontName(), "DejaVu Sans");
    EXPECT_EQ(next.GridFontSize(), 11);
    EXPECT_TRUE(next.GridFontBold());
    EXPECT_EQ(next.COMPort(), 3);
    EXPECT_EQ(next.DAQSampleRate(), 25);
    EXPECT_EQ(next.ConnectionState(), 0);
}

TEST_F(UserPrefsTest, UnconvertibleValuesFallBackToTheDefault)
{
    {
        QSettings raw(ini(), QSettings::IniFormat);
        raw.setValue("Settings/MainWidth", "wide");
        raw.setValue("Settings/ShowRTWarning", "maybe");
        raw.setValue("Settings/COMPort", "12");
        raw.setValue("LabJack/SampleRate", "0");
        raw.setValue("Settings/StagedRevLimiter", "3000");
        raw.setValue("Settings/HighlightMode", " 1 ");
        raw.setValue("Settings/ShowEULADialog", "False");
    }
    SettingsStore store(ini());
    CVUserPrefs p(store);
    EXPECT_EQ(p.WndWidth(), 6500);
    EXPECT_TRUE(p.ShowRTWarning());
    EXPECT_EQ(p.COMPort(), 1);
    EXPECT_EQ(p.DAQSampleRate(), 100);
    EXPECT_EQ(p.StagedRevLimiter(), 60);
    EXPECT_EQ(p.HighlightMode(), 1);
    EXPECT_FALSE(p.ShowEULADialog());
}

TEST_F(UserPrefsTest, TheUsersOwnStoreLivesUnderXdgConfigHome)
{
    SettingsStore store;
    EXPECT_TRUE(store.fileName().endsWith("Vantrelle/Vantrelle.ini")) << store.fileName().toStdString();
    EXPECT_TRUE(store.fileName().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
}
