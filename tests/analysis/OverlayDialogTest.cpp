// The overlay dialog offscreen: its result never runs over the explanation,
// and it comes back with the column and mode chosen last.

#include "analysis/ui/DatalogViewer.h"
#include "analysis/ui/GridLogMarks.h"
#include "analysis/ui/MapOverlayDialog.h"
#include "editors/ui/MapGridView.h"
#include "model/ProgramState.h"
#include "platform/ScriptedFileDialogService.h"
#include "platform/ScriptedMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "platform/UiServices.h"
#include "support/TestEnv.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(OverlayDialog, ResultStaysClearOfTheExplanationAndChoicesAreRemembered)
{
    QTemporaryDir dir;
    QByteArray text = "DATE/TIME,RPM,TP,AFR\r\n";
    for (int i = 0; i < 30; ++i)
        text += QStringLiteral("2026-12-06 10:00:%1.000,%2,32,14.%3\r\n")
                    .arg(i, 2, 10, QChar('0'))
                    .arg(1000 + 100 * i)
                    .arg(i % 10)
                    .toLatin1();
    const QString path = dir.filePath("o.csv");
    ASSERT_TRUE(testenv::writeFile(path, text));
    ScriptedMessageBoxService messages;
    ScriptedFileDialogService files;
    UiServices ui{messages, files};
    DatalogViewer viewer(ui);
    ASSERT_TRUE(viewer.openLog(path));
    ProgramState state;
    MapGridView grid;
    GridLogMarks marks(state, grid);
    SettingsStore store(dir.filePath("Vantrelle.ini"));
    {
        MapOverlayDialog dialog(state, store, viewer, marks);
        dialog.show();
        QCoreApplication::processEvents();
        dialog.columnCombo()->setCurrentIndex(dialog.columnCombo()->findText("AFR"));
        dialog.findChild<QRadioButton *>("radioBoth")->setChecked(true);
        ASSERT_TRUE(dialog.showOverlay());
        QCoreApplication::processEvents();
        const QLabel *status = dialog.statusLabel();
        EXPECT_FALSE(status->geometry().intersects(dialog.ruleLabel()->geometry()));
        EXPECT_GE(status->height(), status->heightForWidth(status->width()));
        EXPECT_GE(dialog.ruleLabel()->height(), dialog.ruleLabel()->heightForWidth(dialog.ruleLabel()->width()));
    }
    MapOverlayDialog again(state, store, viewer, marks);
    EXPECT_EQ(again.columnCombo()->currentText(), "AFR");
    EXPECT_TRUE(again.findChild<QRadioButton *>("radioBoth")->isChecked());
}

} // namespace
