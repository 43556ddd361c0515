// The small dialogs of the shell: agreement, start sequence, COM port,
// about box, help window.

#include "platform/MessageBoxService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "shell/HelpWindow.h"
#include "app/SplashWindow.h"
#include "app/StartUp.h"
#include "shell/dlgAbout.h"
#include "app/dlgEULA.h"
#include "link/ui/dlgSettings.h"
#include "app/CVUserPrefs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

TEST(AgreementTest, OnlyExactlyYesAccepts)
{
    ScriptedMessageBoxService messages;
    for (const char *answer : {"yes", " YES", "YES ", "Yes", "", "YESS"}) {
        dlgEULA eula(messages);
        eula.show();
        eula.editResponse()->setText(answer);
        eula.findChild<QPushButton *>("OKButton")->click();
        EXPECT_FALSE(eula.Accepted()) << answer;
        EXPECT_TRUE(eula.isVisible()) << "stays open for '" << answer << "'";
        ASSERT_FALSE(messages.shown().empty());
        EXPECT_EQ(messages.shown().back().text, "You must type 'YES' into the text box to continue");
        EXPECT_EQ(messages.shown().back().icon, MsgIcon::Critical);
    }
    dlgEULA eula(messages);
    eula.show();
    eula.editResponse()->setText("YES");
    eula.findChild<QPushButton *>("OKButton")->click();
    EXPECT_TRUE(eula.Accepted());
    EXPECT_FALSE(eula.isVisible());
    EXPECT_EQ(eula.windowTitle(), "End User License Agreement");

    dlgEULA cancelled(messages);
    cancelled.show();
    cancelled.findChild<QPushButton *>("CancelButton")->click();
    EXPECT_FALSE(cancelled.Accepted());
}

namespace {
struct StartFixture
{
    QTemporaryDir dir;
    SettingsStore store{dir.filePath("Vantrelle.ini")};
    ScriptedMessageBoxService messages;
};
} // namespace

TEST(StartUpTest, AcceptedAgreementOpensTheWindowAndIsNotAskedAgain)
{
    StartFixture f;
    CVUserPrefs prefs(f.store);
    int opened = 0, asked = 0;
    StartUp s(prefs.window, f.messages, [&] { ++opened; });
    s.askAgreement = [&] { ++asked; return true; };
    s.begin();
    EXPECT_TRUE(s.splash()->isVisible());
    EXPECT_EQ(opened, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened == 1; }, 20000));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(s.splash()->isVisible());
    EXPECT_FALSE(prefs.window.ShowEULADialog());

    StartUp again(prefs.window, f.messages, [&] { ++opened; });
    again.askAgreement = [&] { ++asked; return true; };
    again.begin();
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened == 2; }, 20000));
    EXPECT_EQ(asked, 1) << "not asked once accepted";
}

TEST(StartUpTest, DeclinedAgreementEndsWithoutAWindow)
{
    StartFixture f;
    CVUserPrefs prefs(f.store);
    int opened = 0;
    bool declined = false;
    StartUp s(prefs.window, f.messages, [&] { ++opened; });
    s.askAgreement = [] { return false; };
    QObject::connect(&s, &StartUp::declined, [&] { declined = true; });
    s.begin();
    ASSERT_TRUE(QTest::qWaitFor([&] { return declined; }, 20000));
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(prefs.window.ShowEULADialog());
}

TEST(SettingsDialogTest, ShowsTheStoredPortAndWarnsOnlyOnAChange)
{
    ScriptedMessageBoxService messages;
    dlgSettings d(messages, {{"/dev/ttyUSB0"}});
    d.SetCOMPort(3);
    EXPECT_EQ(d.windowTitle(), "Settings");
    EXPECT_EQ(d.comboPort()->currentText(), "COM 3");
    ASSERT_GE(d.comboPort()->count(), 9);
    EXPECT_EQ(d.comboPort()->itemText(0), "COM 1");
    EXPECT_EQ(d.comboPort()->itemText(7), "COM 8");
    d.findChild<QPushButton *>("OKButton")->click();
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(d.COMPort(), 3);

    dlgSettings change(messages, {{"/dev/ttyUSB0"}});
    change.SetCOMPort(3);
    change.comboPort()->setCurrentIndex(4);
    change.findChild<QPushButton *>("OKButton")->click();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "If you are connected to the Vantrelle hardware you will need to disconnect "
                                        "for the new port change to take effect");
    EXPECT_EQ(messages.shown()[0].icon, MsgIcon::Information);
    EXPECT_EQ(change.COMPort(), 5);
    EXPECT_TRUE(change.PortName().isEmpty());

    // An adapter shows its description and maker; its stable name is kept.
    const QString byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
    dlgSettings device(messages, {{byId, "FT232R USB UART", "FTDI"}});
    device.SetCOMPort(1);
    EXPECT_EQ(device.comboPort()->itemText(8), byId + " (FT232R USB UART, FTDI)");
    device.comboPort()->setCurrentIndex(8);
    device.findChild<QPushButton *>("OKButton")->click();
    EXPECT_EQ(device.PortName(), byId);
    EXPECT_EQ(device.COMPort(), 1);

    dlgSettings cancelled(messages, {});
    cancelled.SetCOMPort(2);
    cancelled.comboPort()->setCurrentIndex(6);
    cancelled.findChild<QPushButton *>("CancelButton")->click();
    EXPECT_EQ(cancelled.COMPort(), 2);
}

TEST(SettingsDialogTest, ADeviceNoLongerListedStaysSelected)
{
    ScriptedMessageBoxService messages;
    dlgSettings d(messages, {});
    d.SetPortName("/dev/pts/42");
    EXPECT_EQ(d.comboPort()->currentText(), "/dev/pts/42");
    d.findChild<QPushButton *>("OKButton")->click();
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(d.PortName(), "/dev/pts/42");
}

TEST(AboutTest, VersionAndSystemInformation)
{
    ScriptedMessageBoxService messages;
    dlgAbout about(messages);
    EXPECT_EQ(about.windowTitle(), "About Vantrelle");
    EXPECT_TRUE(dlgAbout::VersionText().startsWith("Version "));
    EXPECT_EQ(dlgAbout::VersionText().count('.'), 2);

    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    about.findChild<QPushButton *>("cmdSysInfo")->click();
    qputenv("PATH", path);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "System Information Is Unavailable At This Time");
}

TEST(HelpWindowTest, ContentsAndSearchOverTheShippedGuide)
{
    HelpWindow help;
    ASSERT_TRUE(help.hasGuide());
    EXPECT_GE(help.contents()->count(), 5);
    const QStringList found = help.matchingSections("real-time");
    EXPECT_FALSE(found.isEmpty());
    EXPECT_TRUE(help.matchingSections("no-such-word-anywhere").isEmpty());
    help.searchBox()->setText("checksum");
    int shown = 0;
    for (int i = 0; i < help.contents()->count(); ++i)
        shown += help.contents()->item(i)->isHidden() ? 0 : 1;
    EXPECT_GE(shown, 1);
    EXPECT_LT(shown, help.contents()->count());
}
