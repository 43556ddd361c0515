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
    EXPECT_EQ(store.ReadText("LabJack", "SampleRate", rate), 0);
    EXPECT_EQ(rate, "100") << "values beside sub-keys survive";

    // Failures are a non-zero status and leave the caller's value alone.
    QString text = "unchanged";
    qint32 number = 7;
    store.WriteText("LabJack", "Word", "twelve");
    EXPECT_TRUE(store.ReadText("NoSuchKey", "x", text) != 0 && store.ReadLong("LabJack", "Word", number) != 0
                && store.EnumerateSubKeys("Nowhere", names) != 0 && store.DeleteSubKey("LabJack", "Ghost") != 0);
    EXPECT_EQ(std::pair(text, number), std::pair(QString("unchanged"), 7));
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
    qint32 boost = 0, mas = 0;
    QString correction, recent;
    EXPECT_EQ(again.ReadLong("LabJack/Boost", "Input", boost) | again.ReadLong("LabJack/MAS", "Input", mas)
                  | again.ReadText("LabJack/Boost", "Correction", correction) | again.ReadText("", "MRU", recent),
              0);
    // What could be read is kept.
    EXPECT_EQ(std::tuple(boost, mas, correction, recent), std::tuple(2, 3, QString("0.5"), QString("a.vnt;b.vnt")));
}
