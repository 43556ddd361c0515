// The name a save dialog's answer becomes, and the names suggested for files
// that have none.

#include "platform/SaveFileName.h"

#include <gtest/gtest.h>

namespace {

const QString Project = QStringLiteral("Vantrelle Files (*.vnt)|*.vnt|All Files (*.*)|*.*");
const QString Log = QStringLiteral("Comma Separated Values (*.csv)|*.csv|Tab Separated Values (*.txt)|*.txt|"
                                   "All Files (*.*)|*.*");

} // namespace

TEST(SaveFileNameTest, TheChosenFiltersExtensionIsAddedWhereTheNameHasNoneOfThem)
{
    const struct
    {
        QString path;
        QString filters;
        int filter;
        QString expected;
    } cases[] = {
        {"/home/t/tune1", Project, 1, "/home/t/tune1.vnt"},
        {"/home/t/tune1.vnt", Project, 1, "/home/t/tune1.vnt"},
        {"/home/t/TUNE1.VNT", Project, 1, "/home/t/TUNE1.VNT"},
        {"/home/t/tune.v2", Project, 1, "/home/t/tune.v2.vnt"},
        {"/home/t/my.dir/tune", Project, 1, "/home/t/my.dir/tune.vnt"},
        {"/home/t/.vnt", Project, 1, "/home/t/.vnt.vnt"},
        {"/home/t/tune1", Project, 2, "/home/t/tune1"}, // All Files: as typed
        {"/home/t/log", Log, 2, "/home/t/log.txt"},
        {"/home/t/log.csv", Log, 2, "/home/t/log.csv"}, // one of the offered kinds
        {"/home/t/log", Log, 7, "/home/t/log"},
        {"", Project, 1, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SaveFileName::WithExtension(c.path, c.filters, c.filter), c.expected)
            << c.path.toStdString() << " filter " << c.filter;
}

TEST(SaveFileNameTest, TheQtFilterNameFindsItsNumber)
{
    EXPECT_EQ(SaveFileName::FilterNumberNamed(Log, "Tab Separated Values (*.txt)"), 2);
    EXPECT_EQ(SaveFileName::FilterNumberNamed(Log, "All Files (*.*)"), 3);
    EXPECT_EQ(SaveFileName::FilterNumberNamed(Log, "something else"), 1);
}
