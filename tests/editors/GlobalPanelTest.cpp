// The general settings panel: what it shows, the shared range check with its
// message, the rounding of typed values, real-time writes and flags.

#include "EditorTestSupport.h"

#include "editors/ui/CVGlobalDlg.h"
#include "editors/ui/FieldEdit.h"
#include "editors/ValidateNumericRange.h"

class GlobalPanelTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        CVGeneralInfo &g = state.tune.general();
        g.SetRevLimiter(100);
        g.SetSpeedLimiter(50);
        g.SetVTCRelease(60);
        g.SetVersion(QStringLiteral(" V1a "));
        panel = std::make_unique<CVGlobalDlg>(edits, messages);
        panel->UpdateData();
    }
    void TearDown() override
    {
        panel.reset();
        EditorTest::TearDown();
    }
    CVGeneralInfo &g() { return state.tune.general(); }

    std::unique_ptr<CVGlobalDlg> panel;
};

TEST_F(GlobalPanelTest, ShowsTheTuneInEngineeringUnits)
{
    EXPECT_EQ(panel->revLimiterEdit()->text(), "5000");
    EXPECT_EQ(panel->speedLimiterEdit()->text(), "62");
    EXPECT_EQ(panel->vtcReleaseEdit()->text(), "3000");
    EXPECT_EQ(panel->versionEdit()->text(), "V1a");
    g().SetSpeedLimiter(51);
    panel->UpdateData();
    EXPECT_EQ(panel->speedLimiterEdit()->text(), "63.24");
}

TEST_F(GlobalPanelTest, RevLimiterRangeAndMalformedInput)
{
    typeAndEnter(panel->revLimiterEdit(), QStringLiteral("12750"));
    EXPECT_EQ(g().RevLimiter(), 255);
    EXPECT_TRUE(messages.shown().empty());

    state.Modified = false;
    state.ChangesNotSent = false;
    for (const QString &bad : {QStringLiteral("12751"), QStringLiteral("-50"), QStringLiteral("1e3"),
                               QStringLiteral(" 100"), QString(), QStringLiteral("12.5"), QStringLiteral("49")}) {
        messages.clear();
        typeAndEnter(panel->revLimiterEdit(), bad);
        EXPECT_EQ(shownTexts(), QStringList{"Please enter a valid value between 50 and 12750"}) << bad.toStdString();
        ASSERT_FALSE(messages.shown().empty());
        EXPECT_EQ(messages.shown().back().icon, MsgIcon::Critical);
    }
    EXPECT_EQ(g().RevLimiter(), 255);
    EXPECT_FALSE(state.Modified);
    EXPECT_FALSE(state.ChangesNotSent);

    // A typed value is shown as what was stored.
    typeAndEnter(panel->revLimiterEdit(), QStringLiteral("1275"));
    EXPECT_EQ(g().RevLimiter(), 26);
    EXPECT_EQ(panel->revLimiterEdit()->text(), "1300");
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.ChangesNotSent);
}

TEST_F(GlobalPanelTest, SpeedLimiterAllowsSignAndPoint)
{
    typeAndEnter(panel->speedLimiterEdit(), QStringLiteral("100"));
    EXPECT_EQ(g().SpeedLimiter(), 81);
    EXPECT_EQ(panel->speedLimiterEdit()->text(), "100.44");

    typeAndEnter(panel->speedLimiterEdit(), QStringLiteral("1.2"));
    EXPECT_EQ(shownTexts(), QStringList{"Please enter a valid value between 1.24 and 316.2"});
    EXPECT_EQ(g().SpeedLimiter(), 81);

    typeAndEnter(panel->speedLimiterEdit(), QStringLiteral("+62"));
    EXPECT_EQ(g().SpeedLimiter(), 50);
    typeAndEnter(panel->speedLimiterEdit(), QStringLiteral("316.2"));
    EXPECT_EQ(g().SpeedLimiter(), 255);
    EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(GlobalPanelTest, VtcReleaseRoundsHalvesToEven)
{
    typeAndEnter(panel->vtcReleaseEdit(), QStringLiteral("75"));
    EXPECT_EQ(g().VTCRelease(), 2);
    EXPECT_EQ(panel->vtcReleaseEdit()->text(), "100");
    typeAndEnter(panel->vtcReleaseEdit(), QStringLiteral("125"));
    EXPECT_EQ(g().VTCRelease(), 2);
    EXPECT_EQ(panel->vtcReleaseEdit()->text(), "100");
    typeAndEnter(panel->vtcReleaseEdit(), QStringLiteral("175"));
    EXPECT_EQ(g().VTCRelease(), 4);
}

TEST_F(GlobalPanelTest, RealTimeWritesOnlyChangedValues)
{
    state.RealTimeEnabled = true;
    typeAndEnter(panel->revLimiterEdit(), QStringLiteral("5000")); // as it was: nothing
    typeAndEnter(panel->revLimiterEdit(), QStringLiteral("5050"));
    typeAndEnter(panel->speedLimiterEdit(), QStringLiteral("100"));
    typeAndEnter(panel->vtcReleaseEdit(), QStringLiteral("4000"));
    EXPECT_EQ(sender.values, (std::vector<SentValue>{{11, 0, 101}, {12, 0, 81}, {16, 0, 80}}));
    EXPECT_TRUE(state.Modified);
    EXPECT_FALSE(state.ChangesNotSent);
}

TEST_F(GlobalPanelTest, VersionIsPaddedToFiveCharacters)
{
    typeAndEnter(panel->versionEdit(), QStringLiteral("ab"));
    EXPECT_EQ(g().Version(), "   ab");
    EXPECT_TRUE(state.Modified);
    EXPECT_TRUE(state.ChangesNotSent);
    panel->UpdateData();
    EXPECT_EQ(panel->versionEdit()->text(), "ab");

    // At most five characters go in.
    typeAndEnter(panel->versionEdit(), QStringLiteral("ABCDEFG"));
    EXPECT_EQ(g().Version(), "ABCDE");

    state.RealTimeEnabled = true;
    typeAndEnter(panel->versionEdit(), QStringLiteral("ABCDE")); // as it was: nothing
    typeAndEnter(panel->versionEdit(), QStringLiteral("X"));
    EXPECT_EQ(sender.versions, std::vector<QString>{"    X"});
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(GlobalPanelTest, ABadValueKeepsTheFocus)
{
    showActive(panel.get(), QSize(400, 300));
    panel->revLimiterEdit()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->revLimiterEdit()->hasFocus(); }, 5000));
    QTest::keyClick(panel->revLimiterEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(panel->revLimiterEdit(), QStringLiteral("99999"));
    QTest::keyClick(panel->revLimiterEdit(), Qt::Key_Tab);
    EXPECT_EQ(shownTexts(), QStringList{"Please enter a valid value between 50 and 12750"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return panel->revLimiterEdit()->hasFocus(); }, 5000));
    EXPECT_EQ(g().RevLimiter(), 100);

    QTest::keyClick(panel->revLimiterEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(panel->revLimiterEdit(), QStringLiteral("6000"));
    QTest::keyClick(panel->revLimiterEdit(), Qt::Key_Tab);
    EXPECT_EQ(g().RevLimiter(), 120);
    EXPECT_TRUE(panel->speedLimiterEdit()->hasFocus());
    EXPECT_EQ(messages.shown().size(), 1u);
}

TEST(ValidateNumericRange, ShowsTheRangeMessageOnFailureOnly)
{
    ScriptedMessageBoxService messages;
    EXPECT_EQ(ValidateNumericRange(messages, nullptr, QStringLiteral("255"), 0, 255, false), 255.0);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(ValidateNumericRange(messages, nullptr, QStringLiteral("256"), 0, 255, false));
    EXPECT_FALSE(ValidateNumericRange(messages, nullptr, QStringLiteral("-1"), -5, 5, false));
    EXPECT_EQ(ValidateNumericRange(messages, nullptr, QStringLiteral("-1"), -5, 5, true), -1.0);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "Please enter a valid value between 0 and 255");
    EXPECT_EQ(messages.shown()[1].text, "Please enter a valid value between -5 and 5");
    EXPECT_EQ(messages.shown()[1].icon, MsgIcon::Critical);
    EXPECT_EQ(messages.shown()[1].buttons, MsgButtons::OK);
}
