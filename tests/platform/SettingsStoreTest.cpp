#include "platform/SettingsStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class SettingsStoreTest : public ::testing::Test
{
protected:
    QString ini() const { return dir.filePath("Vantrelle.ini"); }
    QTemporaryDir dir;
};
} // namespace

TEST_F(SettingsStoreTest, SubKeysAndFailures)
{
    SettingsStore store(ini());
    store.WriteText("LabJack", "SampleRate", "100");
    store.WriteLong("LabJack/MAS", "Input", 0);
    store.WriteLong("LabJack/Boost", "Input", 1);
    store.WriteLong("LabJack/Boost/Deeper", "Input", 1);
    QStringList names;
    ASSERT_EQ(store.EnumerateSubKeys("LabJack", names), 0);
    names.sort();
    EXPECT_EQ(names, (QStringList{"Boost", "MAS"}));

    ASSERT_EQ(store.DeleteSubKey("LabJack", "Boost"), 0);
    ASSERT_EQ(store.EnumerateSubKeys("LabJack", names), 0);
    EXPECT_EQ(names, QStringList{"MAS"});
    QString rate;
    EXPECT_EQ(store.ReadText("LabJack", "SampleRate", rate), 0) << "values beside sub-keys survive";
    EXPECT_EQ(rate, "100");

    // Failures are a non-zero status and leave the caller's value alone.
    QString text = "unchanged";
    qint32 number = 7;
    EXPECT_NE(store.ReadText("NoSuchKey", "x", text), 0);
    store.WriteText("LabJack", "Word", "twelve");
    EXPECT_NE(store.ReadLong("LabJack", "Word", number), 0);
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(number, 7);
    EXPECT_NE(store.EnumerateSubKeys("Nowhere", names), 0);
    EXPECT_NE(store.DeleteSubKey("LabJack", "Ghost"), 0);
}

TEST_F(SettingsStoreTest, ALineItCannotReadIsNoWriteFailure)
{
    // A stray line in a hand-edited file. Writes must still report success
    // and reach the file (read back by a new store, paths created as needed):
    // a DAQ input stops storing its values at the first write that reports
    // failure.
    {
        QFile file(ini());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("*\n[LabJack]\nMAS\\Input=3\n");
    }
    {
        SettingsStore store(ini());
        EXPECT_EQ(store.WriteText("LabJack/Boost", "Correction", "0.5"), 0);
        EXPECT_EQ(store.WriteLong("LabJack/Boost", "Input", 2), 0);
        EXPECT_EQ(store.WriteText("", "MRU", "a.vnt;b.vnt"), 0);
        EXPECT_EQ(store.Flush(), 0);
    }
    SettingsStore again(ini());
    qint32 number = 0;
    EXPECT_EQ(again.ReadLong("LabJack/Boost", "Input", number), 0);
    EXPECT_EQ(number, 2);
    EXPECT_EQ(again.ReadLong("LabJack/MAS", "Input", number), 0) << "what could be read is kept";
    EXPECT_EQ(number, 3);
    QString text;
    EXPECT_EQ(again.ReadText("LabJack/Boost", "Correction", text), 0);
    EXPECT_EQ(text, "0.5");
    EXPECT_EQ(again.ReadText("", "MRU", text), 0);
    EXPECT_EQ(text, "a.vnt;b.vnt");
}
