#include "platform/SettingsStore.h"
#include "model/RecentFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(RecentFilesTest, NewestFirstExactMatchAtMostNine)
{
    RecentFiles mru;
    for (int i = 1; i <= 3; ++i)
        mru.Update(QString("/t/%1.vnt").arg(i), false);
    EXPECT_EQ(mru.entries(), (QStringList{"/t/3.vnt", "/t/2.vnt", "/t/1.vnt"}));

    mru.Update("/t/1.vnt", false); // the third entry moves to the top
    EXPECT_EQ(mru.entries(), (QStringList{"/t/1.vnt", "/t/3.vnt", "/t/2.vnt"}));

    mru.Update("/T/1.vnt", false); // case matters
    EXPECT_EQ(mru.entries().size(), 4);

    for (int i = 4; i <= 12; ++i)
        mru.Update(QString("/t/%1.vnt").arg(i), false);
    EXPECT_EQ(mru.entries().size(), 9);
    EXPECT_EQ(mru.entries().first(), "/t/12.vnt");
    EXPECT_EQ(mru.entries().last(), "/t/4.vnt");
}

TEST(RecentFilesTest, CaptionsAndPaths)
{
    EXPECT_EQ(RecentFiles::PathFromCaption("&2 /home/me/my tune.vnt"), "/home/me/my tune.vnt");
    EXPECT_EQ(RecentFiles::Caption(3, "/odd/%1 name.vnt"), "&3 /odd/%1 name.vnt");
}

TEST(RecentFilesTest, StoredAsOneSemicolonSeparatedValue)
{
    QTemporaryDir dir;
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    RecentFiles mru;
    mru.Load(store); // nothing stored: nothing happens
    EXPECT_TRUE(mru.entries().isEmpty());
    mru.Update("c.vnt", false);
    mru.Update("b.vnt", false);
    mru.Update("a.vnt", false);
    mru.Save(store);
    QString text;
    ASSERT_EQ(store.ReadText("", "MRU", text), 0);
    EXPECT_EQ(text, "a.vnt;b.vnt;c.vnt");

    RecentFiles again;
    again.Load(store);
    EXPECT_EQ(again.entries(), (QStringList{"a.vnt", "b.vnt", "c.vnt"}));

}
