#include "model/TuneHistory.h"

#include <gtest/gtest.h>

// A step holds exactly the items that changed, whoever changed them, and an
// undo puts them back.
TEST(TuneHistoryTest, RecordsOnlyWhatChangedAndUndoesIt)
{
    Tune tune;
    TuneHistory history(tune);
    EXPECT_FALSE(history.Record()) << "nothing changed";
    tune.map(MapKey::HOFM).SetMapValue(5, 9);
    tune.general().SetRevLimiter(140);
    ASSERT_TRUE(history.Record());
    ASSERT_TRUE(history.CanUndo());
    const HistoryStep *step = history.Undo();
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(step->changes.size(), 2u);
    EXPECT_EQ(step->changes[0].item, TuneItem::HOFM);
    EXPECT_EQ(step->changes[1].item, TuneItem::RevLimiter);
    EXPECT_EQ(tune.map(MapKey::HOFM).MapValue(5), 0);
    EXPECT_EQ(tune.general().RevLimiter(), 0);
    EXPECT_FALSE(history.Record());
}
