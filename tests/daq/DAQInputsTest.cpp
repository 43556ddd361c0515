// DAQ inputs of the preferences: the records, their persisted layout below
// section LabJack and the sorted lists, against a real settings file.

#include "daq/CVDAQInput.h"
#include "daq/CVScalingCalculator.h"
#include "daq/DAQSetupRules.h"
#include "platform/SettingsStore.h"
#include "daq/DaqSettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

namespace {

class DAQInputsTest : public ::testing::Test
{
protected:
    QString ini() const { return dir.filePath("Vantrelle.ini"); }

    static QStringList names(const DAQInputList &list)
    {
        QStringList n;
        for (const auto &input : list)
            n << input->Name();
        return n;
    }
    // Adds an input with thresholds off and default colours.
    static bool add(DaqSettings &p, const QString &name, int channel, int type, bool enabled = true,
                    const QString &formula = QString())
    {
        return p.AddDAQInput(DAQInputRecord{
            .name = name, .channel = channel, .inputType = type, .scalingFormula = formula, .enabled = enabled});
    }

    QTemporaryDir dir;
};

// A fresh store gets "MAS" written at once; every value of a record is
// written in the form the file keeps and read back.
TEST_F(DAQInputsTest, RecordsAreWrittenInTheirFormAndReadBack)
{
    {
        SettingsStore store(ini());
        DaqSettings p(store);
        ASSERT_EQ(names(p.DAQInputs()), QStringList{"MAS"});
        ASSERT_TRUE(p.AddDAQInput(DAQInputRecord{.name = "EGT", .channel = 3, .inputType = CVDAQInput::Differential,
                                                 .gain = 5, .voltageCorrection = -0.25, .scalingFormula = "(V-0.5)*250",
                                                 .thresholdsEnabled = true, .warningThreshold = 10.5f,
                                                 .warningThresholdColor = 0x00C0C0, .criticalThreshold = 20.25f,
                                                 .criticalThresholdColor = 0x0000FF, .normalThresholdColor = 0x008000}));
        QSettings raw(ini(), QSettings::IniFormat);
        raw.beginGroup("LabJack/EGT");
        const std::pair<const char *, const char *> texts[] = {
            {"Correction", "-0.25"}, {"Input", "3"}, {"InputType", "1"}, {"Gain", "5"},
            {"ScalingFormula", "(V-0.5)*250"}, {"Enabled", "1"}, {"ThresholdsEnabled", "1"},
            {"WarningThreshold", "10.5"}, {"WarningThresholdColor", "49344"}, {"CriticalThreshold", "20.25"},
            {"CriticalThresholdColor", "255"}, {"NormalThresholdColor", "32768"}};
        EXPECT_EQ(raw.childKeys().size(), 12);
        for (const auto &[key, text] : texts)
            EXPECT_EQ(raw.value(key).toString(), text) << key;
    }
    SettingsStore store(ini());
    DaqSettings p(store);
    const CVDAQInput *egt = p.FindDAQInput("EGT");
    ASSERT_NE(egt, nullptr);
    EXPECT_EQ(std::tuple(egt->ChannelName(), egt->VoltageCorrection(), egt->WarningThreshold(),
                         egt->CriticalThreshold(), egt->WarningThresholdColor(), egt->ThresholdsEnabled()),
              std::tuple(QString("AI6-AI7"), -0.25f, 10.5f, 20.25f, 0x00C0C0u, true));
}

TEST_F(DAQInputsTest, StoredRecordsLoadWithTheirQuirks)
{
    {
        // As an earlier version or a hand edit left them.
        QSettings raw(ini(), QSettings::IniFormat);
        const std::pair<const char *, const char *> values[] = {
            {"NoFlag/Input", "1"}, {"Off/Input", "2"}, {"Off/Enabled", "0"}, {"Old/Input", "3"},
            {"Odd/Input", "4"}, {"Odd/Correction", "volts"}, {"Odd/ScalingFormula", "   V * 2  "}, {"Odd/Enabled", ""}};
        for (const auto &[key, value] : values)
            raw.setValue(QStringLiteral("LabJack/") + key, value);
    }
    SettingsStore store(ini());
    DaqSettings p(store);
    // The store's index order (alphabetical here), and no default "MAS"
    // added when inputs exist.
    EXPECT_EQ(names(p.DAQInputs()), (QStringList{"NoFlag", "Odd", "Off", "Old"}));
    EXPECT_FALSE(names(p.SortedAnalogDAQInputs()).contains("Off"));
    EXPECT_EQ(p.FindDAQInput("Old")->WarningThresholdColor(), 49344u);
    // A missing or empty Enabled text means enabled, an unconvertible
    // correction 0; a formula loses its leading and trailing spaces.
    const CVDAQInput *odd = p.FindDAQInput("Odd");
    EXPECT_EQ(std::tuple(p.FindDAQInput("NoFlag")->Enabled(), odd->Enabled(), odd->VoltageCorrection(),
                         odd->ScalingFormula()),
              std::tuple(true, true, 0.0f, QString("V * 2")));
}

TEST_F(DAQInputsTest, SortedListsOrderByBareChannelNumberKeepingListOrderOnTies)
{
    SettingsStore store(ini());
    DaqSettings p(store);
    p.DeleteDAQInput("MAS");
    for (auto [name, channel, type] : {std::tuple("Five", 5, 0), {"One", 1, 0}, {"Pair0", 0, 1}, {"OneAgain", 1, 1},
                                       {"Launch", 3, 2}, {"IO2", 18, 2}, {"D0", 0, 2}})
        ASSERT_TRUE(add(p, name, channel, type));
    ASSERT_TRUE(add(p, "Spare", 2, CVDAQInput::Digital, false));
    EXPECT_EQ(names(p.SortedAnalogDAQInputs()), (QStringList{"Pair0", "One", "OneAgain", "Five"}));
    EXPECT_EQ(names(p.SortedDigitalDAQInputs()), (QStringList{"D0", "Launch", "IO2"}));
    EXPECT_EQ(p.GetNumEnabledInputs(), 7);
}

TEST_F(DAQInputsTest, UpdateMovesTheInputToTheEndDeleteRemovesItAndBadNamesAreRefused)
{
    SettingsStore store(ini());
    DaqSettings p(store);
    ASSERT_TRUE(add(p, "A", 1, CVDAQInput::SingleEnded));
    ASSERT_TRUE(add(p, "B", 1, CVDAQInput::Differential));
    ASSERT_TRUE(p.UpdateDAQInput("A", {.name = "A2", .channel = 1, .voltageCorrection = 0.5, .scalingFormula = "V"}));
    EXPECT_EQ(names(p.DAQInputs()), (QStringList{"MAS", "B", "A2"}));
    // Disabled through an update: out of the sorted lists, kept elsewhere.
    ASSERT_TRUE(p.UpdateDAQInput(
        "B", DAQInputRecord{.name = "B", .channel = 1, .inputType = CVDAQInput::Differential, .enabled = false}));
    EXPECT_EQ(names(p.SortedAnalogDAQInputs()), (QStringList{"MAS", "A2"}));
    {
        SettingsStore again(ini());
        DaqSettings reloaded(again);
        ASSERT_NE(reloaded.FindDAQInput("B"), nullptr);
        EXPECT_FALSE(reloaded.FindDAQInput("B")->Enabled());
    }
    p.DeleteDAQInput("A2");
    p.DeleteDAQInput("Ghost"); // nothing to delete: no harm
    EXPECT_EQ(names(p.DAQInputs()), (QStringList{"MAS", "B"}));
    for (const char *bad : {"A/B", "A\\B", ""})
        EXPECT_FALSE(add(p, bad, 1, CVDAQInput::SingleEnded)) << bad;
    QSettings raw(ini(), QSettings::IniFormat);
    raw.beginGroup("LabJack");
    EXPECT_EQ(raw.childGroups(), (QStringList{"B", "MAS"}));
}

// The setup panel's Update checks: the first refusal in the panel's order
// (several rows fail more than one check), its exact text and icon, and
// inputs that pass; then storing what passed.
TEST_F(DAQInputsTest, UpdateChecksRefuseTheFirstFailureWithItsMessage)
{
    SettingsStore store(ini());
    DaqSettings p(store);
    CVScalingCalculator calc;
    ASSERT_TRUE(add(p, "Boost", 1, CVDAQInput::Differential)); // AI2-AI3
    ASSERT_TRUE(add(p, "Launch", 3, CVDAQInput::Digital));
    ASSERT_TRUE(add(p, "Spare", 5, CVDAQInput::SingleEnded, false)); // disabled, but AI5 is its
    p.SetStagedRevLimiterEnabled(true);
    p.SetStagedRevLimiterInput("Launch");
    constexpr qint32 Single = CVDAQInput::SingleEnded, Pair = CVDAQInput::Differential, Digital = CVDAQInput::Digital;
    const char *const forbidden =
        "The name cannot be a numeric value, or contain the following characters \\ / : * ? \" < > |";
    const QString staged = "This input is currently being used by the Staged Rev Limiter.  As a result, you cannot ";
    enum Icon { Pass, Info, Critical, Formula };
    struct Case
    {
        const char *oldName; // empty: adding
        DAQInputRecord input;
        Icon icon;
        QString message;
    } cases[] = {
        {"", {.name = "", .channel = 4}, Info, "Please enter a name for this input"},
        {"", {.name = "Boost", .channel = 3}, Info, "An element already exists with that name"},
        {"", {.name = "3", .channel = 3}, Info, "The selected input is already being used by 'Boost'"},
        {"", {.name = "EGT", .channel = 0}, Info, "The selected input is already being used by 'MAS'"},
        {"", {.name = "Pair2", .channel = 2, .inputType = Pair}, Info,
         "The selected input is already being used by 'Spare'"},
        {"", {.name = "12", .channel = 4}, Info, forbidden},
        {"", {.name = "x:y", .channel = 4, .thresholdsEnabled = true, .warningThreshold = 5, .criticalThreshold = 5},
         Info, forbidden},
        {"", {.name = "EGT", .channel = 4, .scalingFormula = "V/0", .thresholdsEnabled = true, .warningThreshold = 5,
              .criticalThreshold = 5}, Info, "The warning threshold value must be less than the critical threshold value"},
        {"", {.name = "EGT", .channel = 4, .scalingFormula = "V/0"}, Formula,
         "Error in scaling formula.  It results in a divide by 0 error."},
        {"", {.name = "Brake", .channel = 0, .inputType = Digital}, Pass, ""}, // digital never meets analog
        {"Boost", {.name = "Boost", .channel = 1, .inputType = Pair}, Pass, ""}, // its own name and terminals
        {"Boost", {.name = "Launch", .channel = 1, .inputType = Pair}, Info,
         "An element already exists with that name"},
        {"MAS", {.name = "Airflow", .channel = 0}, Info,
         "The MAS input is required for real-time trace, hence it cannot be renamed."},
        {"MAS", {.name = "Airflow", .channel = 0, .scalingFormula = "5E2"}, Formula,
         "There is a syntax error in the scaling formula."},
        {"Launch", {.name = "Launch", .channel = 7, .inputType = Single, .enabled = false}, Critical,
         staged + "change its type."},
        {"Launch", {.name = "Launch", .channel = 3, .inputType = Digital, .enabled = false}, Critical,
         staged + "disable it."},
        {"Launch", {.name = "Staging", .channel = 3, .inputType = Digital}, Pass, ""},
    };
    for (const Case &c : cases) {
        const std::optional<DAQSetupRules::Refusal> r = DAQSetupRules::CheckInput(p, calc, c.oldName, c.input);
        SCOPED_TRACE(c.input.name.toStdString() + " replacing '" + c.oldName + "'");
        ASSERT_EQ(r.has_value(), c.icon != Pass) << (r ? r->message.toStdString() : "");
        if (r) {
            EXPECT_EQ(std::tuple(r->message, r->critical, r->inFormula),
                      std::tuple(c.message, c.icon == Critical, c.icon == Formula));
        }
    }

    // A ninth enabled analog input is refused when added or enabled; the
    // terminal is free (eight inputs on six terminals, from an older setup).
    ASSERT_TRUE(add(p, "S4", 4, Single));
    ASSERT_TRUE(add(p, "S1", 1, Single));
    ASSERT_TRUE(add(p, "P0", 0, Pair));
    ASSERT_TRUE(add(p, "S0", 0, Single));
    ASSERT_TRUE(add(p, "Old", 6, Single, false));
    ASSERT_TRUE(p.UpdateDAQInput("Spare", {.name = "Spare", .channel = 5}));
    ASSERT_TRUE(add(p, "P2", 2, Pair));
    ASSERT_EQ(p.SortedAnalogDAQInputs().size(), 8u);
    const QString nine = "No more than 8 analog inputs can be enabled at a time.  Disable another analog input first.";
    const auto refusal = [&](const QString &oldName, const DAQInputRecord &input) {
        return DAQSetupRules::CheckInput(p, calc, oldName, input).value_or(DAQSetupRules::Refusal()).message;
    };
    EXPECT_EQ(std::pair(refusal("", {.name = "Ninth", .channel = 7}), refusal("Old", {.name = "Old", .channel = 6})),
              std::pair(nine, nine));
    // The settings refuse it too, and a refused update leaves the record as it was.
    EXPECT_FALSE(add(p, "Ninth", 7, Single) || p.UpdateDAQInput("Old", {.name = "Old", .channel = 6}));
    EXPECT_FALSE(p.FindDAQInput("Old")->Enabled());

    // Storing: an added input joins the list; the staged rev limiter follows
    // its input to a new name.
    ASSERT_TRUE(DAQSetupRules::StoreInput(p, "", {.name = "Clutch", .channel = 4, .inputType = Digital}));
    ASSERT_TRUE(DAQSetupRules::StoreInput(p, "Launch", {.name = "Staging", .channel = 3, .inputType = Digital}));
    EXPECT_EQ(p.StagedRevLimiterInput(), "Staging");
    EXPECT_EQ(p.FindDAQInput("Launch"), nullptr);
    ASSERT_TRUE(DAQSetupRules::StoreInput(p, "Clutch", {.name = "Horn", .channel = 4, .inputType = Digital}));
    EXPECT_EQ(p.StagedRevLimiterInput(), "Staging") << "only the limiter's own input moves it";
}

TEST_F(DAQInputsTest, AFailedStoreWriteReportsFalseButKeepsTheRecord)
{
    // A folder where the settings file should be: nothing can be written.
    QDir(dir.path()).mkpath("blocked.ini");
    SettingsStore store(dir.filePath("blocked.ini"));
    DaqSettings p(store);
    EXPECT_FALSE(add(p, "Boost", 2, CVDAQInput::SingleEnded));
    ASSERT_NE(p.FindDAQInput("Boost"), nullptr);
    EXPECT_EQ(names(p.SortedAnalogDAQInputs()), (QStringList{"MAS", "Boost"}));
}

TEST_F(DAQInputsTest, SettingTheVoltageAppliesCorrectionThenFormula)
{
    CVScalingCalculator calc;
    CVDAQInput in;
    in.SetVoltageCorrection(0.5f);
    in.SetScalingFormula("V*10");
    EXPECT_FALSE(in.SetVoltage(1.0f, calc).isSet());
    EXPECT_EQ(std::pair(in.Voltage(), in.Value()), std::pair(1.5f, 15.0f));
}

TEST(DAQInputNamesTest, ChannelNamesByType)
{
    const QStringList names = {CVDAQInput::ChannelName(0, 7), CVDAQInput::ChannelName(1, 0),
                               CVDAQInput::ChannelName(1, 3), CVDAQInput::ChannelName(2, 16)};
    EXPECT_EQ(names, (QStringList{"AI7", "AI0-AI1", "AI6-AI7", "IO0"}));
    // A number damaged in the store is named as it is, without overflowing.
    EXPECT_EQ(CVDAQInput::ChannelName(1, 2147483647), "AI4294967294-AI4294967295");
    EXPECT_EQ(CVDAQInput::ChannelName(1, -2147483647 - 1), "AI-4294967296-AI-4294967295");
}

} // namespace
