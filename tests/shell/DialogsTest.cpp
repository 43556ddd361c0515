// The small dialogs around the shell: agreement, start sequence, COM port.

#include "platform/MessageBoxService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "app/SplashWindow.h"
#include "app/StartUp.h"
#include "app/dlgEULA.h"
#include "link/ui/dlgSettings.h"
#include "app/CVUserPrefs.h"

#include <QComboBox>
#include <QLineEdit>
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
        EXPECT_EQ(messages.texts().back(), "You must type 'YES' into the text box to continue");
    }
    dlgEULA eula(messages);
    eula.show();
    eula.editResponse()->setText("YES");
    eula.findChild<QPushButton *>("OKButton")->click();
    EXPECT_TRUE(eula.Accepted());
    EXPECT_FALSE(eula.isVisible());
}

namespace {
struct StartFixture
{
    QTemporaryDir dir;
    SettingsStore store{dir.filePath("Vantrelle.ini")};
    ScriptedMessageBoxService messages;
};
} // namespace

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
