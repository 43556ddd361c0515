// The edit session every editor and tool commits through: what each kind of
// commit stores, what goes to the box in real time, which flags follow and
// which undo steps are recorded, with the undo history wired as the
// application wires it.

#include "editors/EditSession.h"
#include "model/ProgramState.h"
#include "model/TuneHistory.h"
#include "support/LiveLink.h"
#include "support/RecordingSender.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

struct World
{
    World()
    {
        Tune &t = state.tune;
        for (int i = 0; i < 256; ++i)
            t.map(MapKey::HOFM).SetMapValue(i, 10);
        t.general().SetRevLimiter(100);
        t.general().SetInjectorBlast(5);
        t.general().SetVQ(3, 1000);
        t.general().SetVersion(QStringLiteral("ABCDE"));
        history.Reset(true);
        // As the application's undo history listens.
        QObject::connect(&state, &ProgramState::editNoted, [this](const QString &label) {
            if (history.Record(label))
                state.NoteAtSavePoint(history.AtSavePoint());
        });
    }
    // Takes the last step back the way Edit > Undo does.
    void undo()
    {
        if (const HistoryStep *step = history.Undo())
            edits.Replay(*step, false);
        state.NoteAtSavePoint(history.AtSavePoint());
    }

    ProgramState state;
    LinkSession link;
    RecordingSender sender;
    EditSession edits{state, link, sender};
    TuneHistory history{state.tune};
};

} // namespace

TEST(EditSession, EveryKindOfCommit)
{
    struct Case
    {
        const char *what;
        bool realTime;
        bool stagedLimit;
        std::function<void(World &)> edit;
        std::vector<std::string> sent;
        bool modified;
        bool notSent;
        int steps;
    };
    const std::vector<Case> cases = {
        {"a grid cell outside real-time mode", false, false,
         [](World &w) { w.edits.CommitValue(TuneItem::HOFM, 20, 200); }, {}, true, true, 1},
        {"a grid cell in real-time mode", true, false,
         [](World &w) { w.edits.CommitValue(TuneItem::HOFM, 20, 200); }, {"value 1 20 200"}, true, false, 1},
        {"a grid cell committed as it was is still sent and noted", true, false,
         [](World &w) { w.edits.CommitValue(TuneItem::HOFM, 20, 10); }, {"value 1 20 10"}, true, false, 0},
        {"a box holding the value it had changes nothing", true, false,
         [](World &w) { EXPECT_FALSE(w.edits.ChangeValue(TuneItem::RevLimiter, 0, 100)); }, {}, false, false, 0},
        {"values or indexes the tune cannot hold change nothing", true, false,
         [](World &w) {
             EXPECT_FALSE(w.edits.ChangeValue(TuneItem::TTPMin, 0, 256));
             EXPECT_FALSE(w.edits.ChangeValue(TuneItem::TTPMin, 16, 5));
             w.edits.CommitValue(TuneItem::HOFM, 256, 5);
         },
         {}, false, false, 0},
        {"a VQ entry goes out as item 23 with its whole value", true, false,
         [](World &w) { EXPECT_TRUE(w.edits.ChangeValue(TuneItem::VQ, 3, 40000)); }, {"value 23 3 40000"}, true, false, 1},
        {"injector values never go out in real time", true, false,
         [](World &w) { w.edits.ChangeValue(TuneItem::InjectorBlast, 0, 6); }, {}, true, true, 1},
        {"a rev limit waits while the staged limiter holds the box's", true, true,
         [](World &w) { w.edits.ChangeValue(TuneItem::RevLimiter, 0, 120); }, {}, true, false, 1},
        {"several values: one frame per run of adjacent entries, one step", true, false,
         [](World &w) {
             using T = TuneItem;
             w.edits.CommitValues({{T::FUELRPM, 0, 20}, {T::HOFM, 3, 1}, {T::HOFM, 4, 2}, {T::HOFM, 5, 3}, {T::HOFM, 19, 4}},
                                  QStringLiteral("Block"));
             EXPECT_EQ(w.history.UndoLabel(), "Block");
         },
         {"bytes 1 3 010203", "bytes 1 19 04", "bytes 5 0 14"}, true, false, 1},
        {"items taken over: the injector K waits for a write", true, false,
         [](World &w) {
             Tune other = w.state.tune;
             other.map(MapKey::HOFM).SetMapValue(0, 50);
             other.general().SetInjectorK(822);
             w.edits.CommitItems(TuneHistory::Differences(w.state.tune, other), QStringLiteral("Take"));
             EXPECT_EQ(w.state.tune.general().InjectorK(), 822);
         },
         {"bytes 1 0 32"}, true, true, 1},
        {"a local copy is never sent and leaves the tune unsent", true, false,
         [](World &w) { w.edits.CommitLocal({{TuneItem::LOFM, 0, 77}}, QStringLiteral("Copy")); }, {}, true, true, 1},
        {"undo in real-time mode writes the old values back run by run", true, false,
         [](World &w) {
             w.edits.CommitValues({{TuneItem::HOFM, 3, 1}, {TuneItem::HOFM, 4, 2}}, QStringLiteral("Block"));
             w.sender.sent.clear();
             w.undo();
             EXPECT_EQ(w.state.tune.map(MapKey::HOFM).MapValue(4), 10);
         },
         {"bytes 1 3 0A0A"}, false, false, 0},
        {"undo of a value the box cannot take in real time leaves it unsent", true, false,
         [](World &w) {
             w.edits.ChangeValue(TuneItem::InjectorVoid, 0, 9);
             w.state.NoteSent();
             w.undo();
         },
         {}, false, true, 0},
    };
    for (const Case &c : cases) {
        World w;
        if (c.realTime)
            testlink::GoLive(w.link);
        if (c.stagedLimit)
            testlink::HoldStagedLimit(w.link);
        const Tune before = w.state.tune;
        c.edit(w);
        EXPECT_EQ(w.sender.sent, c.sent) << c.what;
        EXPECT_EQ(w.state.Modified(), c.modified) << c.what;
        EXPECT_EQ(w.state.ChangesNotSent(), c.notSent) << c.what;
        EXPECT_EQ(w.history.Position(), c.steps) << c.what;
        if (c.steps == 0 && !c.modified) {
            EXPECT_TRUE(w.state.tune.sameContents(before)) << c.what;
        }
    }
}
