// vantrelle: the tuning application.

#include "platform/FileDialogService.h"
#include "platform/ui/QtFileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/ui/QtMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "app/CVUserPrefs.h"
#include "app/MainApplication.h"
#include "app/StartUp.h"

#include <QApplication>
#include <cstdio>
#include <memory>
#include <string_view>

namespace {

const char *const HelpText =
    "Usage: vantrelle [OPTIONS] [PROJECT.vnt]\n"
    "\n"
    "Opens the Vantrelle tuning application, loading PROJECT.vnt when given\n"
    "(double quotes around the path are removed).\n"
    "\n"
    "Options:\n"
    "  --port DEVICE   use this serial device for the box during this run\n"
    "                  (for example /dev/ttyUSB0 or the path vantrelle-boxsim prints)\n"
    "  --sim-daq       use the simulated data-acquisition unit instead of a LabJack U12\n"
    "  --help          show this text\n"
    "  --version       show the version\n";

// --help and --version answer before the application object exists: they
// need no display. Returns the exit status, or -1 when neither was asked.
int answerWithoutDisplay(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a(argv[i]);
        if (a == "--port") {
            ++i; // a device, whatever its name
        } else if (a == "--help" || a == "-h") {
            std::fputs(HelpText, stdout);
            return 0;
        } else if (a == "--version") {
            std::printf("vantrelle %d.%d.%d\n", VANTRELLE_VERSION_MAJOR, VANTRELLE_VERSION_MINOR,
                        VANTRELLE_VERSION_PATCH);
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (const int status = answerWithoutDisplay(argc, argv); status >= 0)
        return status;
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vantrelle");
    QApplication::setOrganizationName("Vantrelle");

    StartOptions options;
    QStringList pathWords;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == "--port") {
            if (i + 1 >= args.size()) {
                std::fputs("vantrelle: --port needs a device\n", stderr);
                return 2;
            }
            options.portName = args[++i];
        } else if (a == "--sim-daq") {
            options.simulatedDaq = true;
        } else if (a.startsWith("--")) {
            std::fprintf(stderr, "vantrelle: unknown option %s (see vantrelle --help)\n", qPrintable(a));
            return 2;
        } else {
            pathWords << a;
        }
    }
    // The command line is one project path, blanks included.
    options.projectPath = pathWords.join(QLatin1Char(' '));

    SettingsStore store;
    QtMessageBoxService messages;
    QtFileDialogService files;
    CVUserPrefs prefs(store); // one per run; written back when main returns
    std::unique_ptr<MainApplication> program;
    StartUp startUp(prefs.window, messages, [&] {
        program = std::make_unique<MainApplication>(prefs, messages, files, options);
        program->start();
    });
    QObject::connect(&startUp, &StartUp::declined, &app, [&] { app.exit(0); }, Qt::QueuedConnection);
    startUp.begin();
    const int status = app.exec();
    program.reset();
    return status;
}
