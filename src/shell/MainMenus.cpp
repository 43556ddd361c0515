#include "shell/MainMenus.h"

#include "platform/ui/Actions.h"

#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>

namespace {

QMenu *menu(QMenuBar *bar, const QString &caption, const char *name)
{
    QMenu *m = bar->addMenu(caption);
    m->setObjectName(QLatin1String(name));
    return m;
}

// A group's anchor: an invisible separator its items are inserted before.
void group(MainMenuBar &made, QMenu *menu, MenuPlace place)
{
    QAction *anchor = menu->addSeparator();
    anchor->setVisible(false);
    made.menus[static_cast<std::size_t>(place)] = menu;
    made.anchors[static_cast<std::size_t>(place)] = anchor;
}

QAction *separator(QMenu *menu, const char *name)
{
    QAction *s = menu->addSeparator();
    s->setObjectName(QLatin1String(name));
    return s;
}

} // namespace

void MainMenuBar::Add(MenuPlace place, QAction *action) const
{
    const auto i = static_cast<std::size_t>(place);
    menus[i]->insertAction(anchors[i], action);
}

MainMenuBar CreateMenus(QMainWindow &window)
{
    MainMenuBar made;
    QMenuBar *bar = window.menuBar();

    QMenu *file = menu(bar, "&File", "mnuFile");
    made.file = file;
    group(made, file, MenuPlace::FileProject);
    group(made, file, MenuPlace::FileImages);
    separator(file, "mnuSep");
    group(made, file, MenuPlace::FileStock);
    made.mruDivider = separator(file, "mnuFileMRUDivider");
    made.mruDivider->setVisible(false);
    made.binSep = separator(file, "mnuFileBinSep");
    made.mnuFileClose = NewAction(file, "E&xit", "mnuFileClose");
    file->addAction(made.mnuFileClose);

    group(made, menu(bar, "&Edit", "mnuEdit"), MenuPlace::Edit);

    QMenu *view = menu(bar, "&View", "mnuView");
    made.mnuViewToolbar = NewAction(view, "&Toolbar", "mnuViewToolbar", true);
    made.mnuViewToolbar->setChecked(true);
    made.mnuViewStatusBar = NewAction(view, "Status &Bar", "mnuViewStatusBar", true);
    made.mnuViewStatusBar->setChecked(true);
    view->addActions({made.mnuViewToolbar, made.mnuViewStatusBar});
    view->addSeparator();
    group(made, view, MenuPlace::ViewWindows);
    view->addSeparator();
    group(made, view, MenuPlace::ViewGrid);

    QMenu *options = menu(bar, "&Options", "mnuOptions");
    group(made, options, MenuPlace::OptionsLink);
    options->addSeparator();
    group(made, options, MenuPlace::OptionsLinkSettings);
    options->addSeparator();
    group(made, options, MenuPlace::OptionsGrid);

    QMenu *tools = menu(bar, "&Tools", "mnuTools");
    group(made, tools, MenuPlace::ToolsLive);
    group(made, tools, MenuPlace::ToolsMaps);
    group(made, tools, MenuPlace::ToolsCompare);
    tools->addSeparator();
    group(made, tools, MenuPlace::ToolsLogs);

    made.cell = menu(bar, "&Cell", "mnuCell");
    made.cell->menuAction()->setObjectName("mnuCellMenu");
    group(made, made.cell, MenuPlace::Cell);

    QMenu *logging = menu(bar, "&Data Logging", "mnuDataLogging");
    group(made, logging, MenuPlace::DataLoggingLog);
    group(made, logging, MenuPlace::DataLoggingTrace);
    group(made, logging, MenuPlace::DataLoggingSettings);

    QMenu *help = menu(bar, "&Help", "mnuHelp");
    group(made, help, MenuPlace::HelpTopics);
    help->addSeparator();
    group(made, help, MenuPlace::HelpAbout);
    return made;
}

MainToolBar CreateToolBar(QMainWindow &window)
{
    MainToolBar made;
    made.bar = window.addToolBar("Toolbar");
    made.bar->setObjectName("tbToolBar");
    made.bar->setMovable(false);
    made.fileAnchor = made.bar->addSeparator();
    made.fileAnchor->setVisible(false);
    made.bar->addSeparator();
    made.linkAnchor = made.bar->addSeparator();
    made.linkAnchor->setVisible(false);
    return made;
}

StatusPanels CreateStatusPanels(QStatusBar &bar)
{
    StatusPanels made;
    const struct
    {
        QLabel *StatusPanels::*slot;
        const char *key;
        const char *text;
        const char *tip;
    } panels[] = {
        {&StatusPanels::Status, "Status", "Status", "Vantrelle Status"},
        {&StatusPanels::VntRTDisabled, "VntRTDisabled", "Real-time Disabled  ", nullptr},
        {&StatusPanels::VntRTEnabled, "VntRTEnabled", "Real-time Enabled  ", nullptr},
        {&StatusPanels::HardwareVersion, "HardwareVersion", "", "Vantrelle Version"},
        {&StatusPanels::Playback, "lblPlayback", "Playback  ", "The live views show a log played back, not the engine"},
    };
    for (const auto &p : panels) {
        auto *label = new QLabel(QLatin1String(p.text));
        label->setObjectName(QLatin1String(p.key));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        if (p.tip)
            label->setToolTip(QLatin1String(p.tip));
        // A passing message takes the status text's place only: whether
        // real-time mode is on, and which box is connected, always show.
        if (p.slot == &StatusPanels::Status)
            bar.addWidget(label, 1);
        else
            bar.addPermanentWidget(label);
        made.*p.slot = label;
    }
    // Shown only while a log drives the live views.
    made.Playback->hide();
    auto *clock = new QLabel;
    clock->setObjectName("Clock");
    clock->setFrameShape(QFrame::StyledPanel);
    clock->setFrameShadow(QFrame::Sunken);
    bar.addPermanentWidget(clock);
    made.Clock = clock;
    auto *timer = new QTimer(clock);
    auto tick = [clock] { clock->setText(QLocale().toString(QTime::currentTime(), QLocale::ShortFormat)); };
    QObject::connect(timer, &QTimer::timeout, clock, tick);
    tick();
    timer->start(1000);
    return made;
}
