// The small dialogs around the shell: agreement, start sequence, COM port.

#include "support/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
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

// Only YES accepts; a refusal sends the keyboard back to the answer.
TEST(AgreementTest, OnlyExactlyYesAccepts)
{
    ScriptedMessageBoxService messages;
    for (const char *answer : {"yes", " YES", "YES"}) {
        dlgEULA eula(messages);
        eula.show();
        eula.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&eula));
        eula.editResponse()->setText(answer);
        eula.findChild<QWidget *>("editEULA")->setFocus();
        eula.findChild<QPushButton *>("OKButton")->click();
        const bool yes = QByteArray(answer) == "YES";
        EXPECT_EQ(std::tuple(eula.Accepted(), eula.isVisible(), eula.editResponse()->hasFocus()),
                  std::tuple(yes, !yes, !yes))
            << answer;
    }
    EXPECT_EQ(messages.texts().size(), 2);
}

// Declined, the agreement ends the program without a window; accepted, it is
// stored at once (a crash later in the run does not ask it again).
TEST(StartUpTest, TheAgreementDeclinedEndsWithoutAWindowAndAcceptedIsStoredAtOnce)
{
    for (const bool accept : {false, true}) {
        QTemporaryDir dir;
        SettingsStore store(dir.filePath("Vantrelle.ini"));
        ScriptedMessageBoxService messages;
        CVUserPrefs prefs(store);
        int opened = 0;
        bool declined = false;
        StartUp s(
            prefs.window, messages, [&] { ++opened; }, [accept] { return accept; });
        QObject::connect(&s, &StartUp::declined, [&] { declined = true; });
        s.begin();
        ASSERT_TRUE(QTest::qWaitFor([&] { return declined || opened > 0; }, 20000));
        SettingsStore again(dir.filePath("Vantrelle.ini"));
        EXPECT_EQ(std::tuple(opened, CVUserPrefs(again).window.ShowEULADialog()), std::tuple(accept ? 1 : 0, !accept));
    }
}

// The port chosen is kept, and a change warns that it needs a new connection;
// an adapter's stable name and a device no longer listed are kept as named.
TEST(SettingsDialogTest, KeepsThePortChosenAndWarnsOnlyOnAChange)
{
    ScriptedMessageBoxService messages;
    const QString byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
    dlgSettings device(messages, {{byId, "FT232R USB UART", "FTDI"}});
    device.SetCOMPort(1);
    device.comboPort()->setCurrentIndex(8);
    device.findChild<QPushButton *>("OKButton")->click();
    EXPECT_EQ(device.PortName(), byId);

    dlgSettings gone(messages, {});
    gone.SetPortName("/dev/pts/42");
    gone.findChild<QPushButton *>("OKButton")->click();
    EXPECT_EQ(gone.PortName(), "/dev/pts/42");

    dlgSettings cancelled(messages, {});
    cancelled.SetCOMPort(2);
    cancelled.comboPort()->setCurrentIndex(6);
    cancelled.findChild<QPushButton *>("CancelButton")->click();
    EXPECT_EQ(std::pair(cancelled.COMPort(), messages.shown().size()), std::pair(2, std::size_t(1)));
}
