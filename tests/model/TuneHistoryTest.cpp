#include "model/TuneHistory.h"

#include <gtest/gtest.h>

// A step holds exactly the items that changed, whoever changed them (its name
// says which), and an undo puts them back; the version text counts even where
// its bytes would not differ.
TEST(TuneHistoryTest, EveryKindOfChangeUndoesAndRedoes)
{
    Tune tune;
    TuneHistory history(tune);
    CVGeneralInfo &g = tune.general();
    g.SetVersion("ABCDE");
    history.Reset(true);
    EXPECT_FALSE(history.Record()) << "nothing changed";
    std::vector<Tune> states{tune};
    const auto recorded = [&](const char *name) {
        ASSERT_TRUE(history.Record());
        EXPECT_EQ(history.UndoLabel(), QString::fromLatin1(name));
        states.push_back(tune);
    };
    for (int i = 0; i < 12; ++i)
        tune.map(MapKey::HOFM).SetMapValue(20 + i, 100);
    recorded("Set 12 cells in High Octane Fuel Map");
    g.SetRevLimiter(150);
    recorded("Set Rev Limiter");
    g.SetVersion("   xy");
    recorded("Set Version");
    g.SetVQ(10, 0x1234);
    g.SetVQ(11, 0x0102);
    recorded("Set 2 entries in VQ Table");
    tune.map(MapKey::HOFM).SetMapValue(5, 9);
    g.SetRevLimiter(140);
    recorded("Change 2 items");
    for (int i = static_cast<int>(states.size()) - 1; i > 0; --i) {
        ASSERT_NE(history.Undo(), nullptr);
        EXPECT_TRUE(tune.sameContents(states[i - 1])) << "undo to state " << i - 1;
        EXPECT_EQ(tune.general().Version(), states[i - 1].general().Version());
    }
    EXPECT_FALSE(history.Record()) << "an undo leaves nothing to record";
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_NE(history.Redo(), nullptr);
        EXPECT_TRUE(tune.sameContents(states[i]));
    }
    EXPECT_EQ(tune.general().Version(), "   xy");
}

// Save points follow undo and redo; a new branch, a dropped oldest step or a
// tune read from the box leave none; changes made without Record are not lost
// and trace points are no contents.
TEST(TuneHistoryTest, SavePointsLimitsAndUnrecordedChanges)
{
    Tune tune;
    TuneHistory history(tune, 3);
    history.Reset(true);
    tune.general().SetRevLimiter(1);
    history.Record();
    history.Undo();
    EXPECT_TRUE(history.AtSavePoint()) << "undoing back to the saved tune";
    history.Redo();
    history.MarkSaved();
    history.Undo();
    tune.general().SetSpeedLimiter(7); // a new branch: the saved step is gone
    history.Record();
    EXPECT_FALSE(history.CanRedo());
    history.Undo();
    EXPECT_FALSE(history.AtSavePoint());

    for (int v = 2; v <= 6; ++v) {
        tune.general().SetRevLimiter(v);
        history.Record();
    }
    tune.general().SetRevLimiter(30); // no Record: undo makes it a step first
    ASSERT_NE(history.Undo(), nullptr);
    EXPECT_EQ(tune.general().RevLimiter(), 6);
    while (history.Undo()) {
    }
    EXPECT_EQ(tune.general().RevLimiter(), 4) << "at most three steps back";
    history.Reset(false);
    EXPECT_FALSE(history.AtSavePoint()) << "a tune read from the box has no save point";
}
