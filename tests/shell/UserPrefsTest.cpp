// The preferences of one run, kept by their owners (windows, link, editors,
// DAQ) in one settings file: every stored value keeps its section, key and
// text form, so files written before the split read and write the same.

#include "app/CVUserPrefs.h"
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
        std::function<QString(P &)> read;
        std::function<void(P &)> change;
        const char *written;
    };
    const auto number = [](int v) { return QString::number(v); };
    const auto flag = [](bool v) { return v ? QStringLiteral("true") : QStringLiteral("false"); };
    const Row rows[] = {
        {"Settings/MainLeft", "120", [&](P &p) { return number(p.window.WndLeftPos()); },
         [](P &p) { p.window.SetWndLeftPos(300); }, "300"},
        {"Settings/MainTop", "140", [&](P &p) { return number(p.window.WndTopPos()); },
         [](P &p) { p.window.SetWndTopPos(310); }, "310"},
        {"Settings/MainWidth", "9000", [&](P &p) { return number(p.window.WndWidth()); },
         [](P &p) { p.window.SetWndWidth(9100); }, "9100"},
        {"Settings/MainHeight", "7000", [&](P &p) { return number(p.window.WndHeight()); },
         [](P &p) { p.window.SetWndHeight(7100); }, "7100"},
        {"Settings/SplitterX", "3000", [&](P &p) { return number(p.window.SplitterX()); },
         [](P &p) { p.window.SetSplitterX(3100); }, "3100"},
        {"Settings/ShowEULADialog", "False", [&](P &p) { return flag(p.window.ShowEULADialog()); },
         [](P &p) { p.window.SetShowEULADialog(true); }, "True"},
        {"Settings/COMPort", "3", [&](P &p) { return number(p.link.COMPort()); },
         [](P &p) { p.link.SetCOMPort(4); }, "4"},
        {"Settings/PortName", "/dev/ttyUSB0", [](P &p) { return p.link.PortName(); },
         [](P &p) { p.link.SetPortName("/dev/ttyS1"); }, "/dev/ttyS1"},
        {"Settings/ShowRTWarning", "false", [&](P &p) { return flag(p.link.ShowRTWarning()); },
         [](P &p) { p.link.SetShowRTWarning(true); }, "True"},
        {"Settings/GridFontName", "DejaVu Sans", [](P &p) { return p.editor.GridFontName(); },
         [](P &p) { p.editor.SetGridFontName("DejaVu Serif"); }, "DejaVu Serif"},
        {"Settings/GridFontSize", "11", [&](P &p) { return number(p.editor.GridFontSize()); },
         [](P &p) { p.editor.SetGridFontSize(12); }, "12"},
        {"Settings/GridFontBold", "TRUE", [&](P &p) { return flag(p.editor.GridFontBold()); },
         [](P &p) { p.editor.SetGridFontBold(false); }, "False"},
        {"Settings/GridFontItalic", "True", [&](P &p) { return flag(p.editor.GridFontItalic()); },
         [](P &p) { p.editor.SetGridFontItalic(true); }, "True"},
        {"Settings/HighlightMode", " 1 ", [&](P &p) { return number(p.daq.HighlightMode()); },
         [](P &p) { p.daq.SetHighlightMode(0); }, "0"},
        {"Settings/DataLogFormat", "0", [&](P &p) { return number(p.daq.DataLogFormat()); },
         [](P &p) { p.daq.SetDataLogFormat(1); }, "1"},
        {"LabJack/SampleRate", "25", [&](P &p) { return number(p.daq.DAQSampleRate()); },
         [](P &p) { p.daq.SetDAQSampleRate(40); }, "40"},
        {"LabJack/RPMMultiplier", "160", [&](P &p) { return number(p.daq.DAQRPMMultiplier()); },
         [](P &p) { p.daq.SetDAQRPMMultiplier(170); }, "170"},
        {"LabJack/DriverLibrary", "/opt/lj/libljacklm.so", [](P &p) { return p.daq.DAQDriverLibrary(); },
         [](P &p) { p.daq.SetDAQDriverLibrary("ljacklm"); }, "ljacklm"},
        {"LabJack/Simulated", "True", [&](P &p) { return flag(p.daq.SimulatedDAQ()); },
         [](P &p) { p.daq.SetSimulatedDAQ(false); }, "False"},
        {"Settings/StagedRevLimiterEnabled", "True", [&](P &p) { return flag(p.daq.StagedRevLimiterEnabled()); },
         [](P &p) { p.daq.SetStagedRevLimiterEnabled(false); }, "False"},
        {"Settings/StagedRevLimiter", "140", [&](P &p) { return number(p.daq.StagedRevLimiter()); },
         [](P &p) { p.daq.SetStagedRevLimiter(150); }, "150"},
        {"Settings/StagedRevLimiterInput", "Launch", [](P &p) { return p.daq.StagedRevLimiterInput(); },
         [](P &p) { p.daq.SetStagedRevLimiterInput("Clutch"); }, "Clutch"},
    };
    const auto expectedRead = [](const char *stored) {
        const QString s = QString::fromLatin1(stored).trimmed();
        if (s.compare("true", Qt::CaseInsensitive) == 0)
            return QStringLiteral("true");
        if (s.compare("false", Qt::CaseInsensitive) == 0)
            return QStringLiteral("false");
        return s;
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
            EXPECT_EQ(r.read(p), expectedRead(r.stored)) << r.key;
            r.change(p);
        }
        p.link.SetConnectionState(2); // held for the run only
    }
    QSettings raw(ini(), QSettings::IniFormat);
    for (const Row &r : rows)
        EXPECT_EQ(raw.value(r.key).toString(), r.written) << r.key;
    EXPECT_FALSE(raw.contains("Settings/ConnectionState"));
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
        raw.setValue("Settings/StagedRevLimiter", "3000");
        raw.setValue("Settings/GridFontSize", "1000");
    }
    SettingsStore store(ini());
    CVUserPrefs p(store);
    EXPECT_EQ(p.window.WndWidth(), 6500);
    EXPECT_TRUE(p.link.ShowRTWarning());
    EXPECT_EQ(p.link.COMPort(), 1);
    EXPECT_EQ(p.daq.DAQSampleRate(), 100);
    EXPECT_EQ(p.daq.StagedRevLimiter(), 60);
    EXPECT_EQ(p.editor.GridFontSize(), 8);
}
