// vantrelle: the tuning application.

#include "platform/FileDialogService.h"
#include "platform/ui/QtFileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/ui/QtMessageBoxService.h"
#include "platform/SettingsStore.h"
#include "platform/StandardOutput.h"
#include "app/CVUserPrefs.h"
#include "app/MainApplication.h"
#include "app/StartUp.h"
#include "daq/sim/SimulationOptions.h"

#include <QApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

const char *const HelpText =
    "Usage: vantrelle [OPTIONS] [--] [PROJECT.vnt]\n"
    "\n"
    "Opens the Vantrelle tuning application, loading PROJECT.vnt when given\n"
    "(double quotes around the path are removed; the words that are not options\n"
    "form one path, blanks included; after -- every word is part of it).\n"
    "\n"
    "Options:\n"
    "  --port DEVICE   use this serial device for the box during this run\n"
    "                  (for example /dev/ttyUSB0 or the path vantrelle-boxsim prints)\n"
    "  --sim-daq       use the simulated data-acquisition unit instead of a LabJack U12\n"
    "  --sim-drive road|dyno\n"
    "                  with --sim-daq: the simulated car's drive: road (the default;\n"
    "                  idle, a staged launch, pulls through five gears, a coast) or\n"
    "                  dyno (each open-loop cell of the fuel map held 3 s in turn)\n"
    "  --sim-fuel-error PCT\n"
    "                  with --sim-daq: the engine's true fuel need departs from the\n"
    "                  stock tune by a smooth field within +-PCT percent (0 to 50;\n"
    "                  default 0: the stock tune is exactly right)\n"
    "  --sim-seed N    with --sim-daq: seeds that field and the sensors' noise\n"
    "                  (0 to 4294967295, default 1)\n"
    "  --sim-o2-delay MS\n"
    "                  with --sim-daq: exhaust transport delay before the wideband\n"
    "                  sensor on AI7 (0 to 5000 ms, default 0)\n"
    "  --sim-daq-latency MS\n"
    "                  with --sim-daq: every call to the unit blocks MS ms, as a\n"
    "                  real U12 does (up to about 20; 0 to 1000, default 0)\n"
    "  --help, -h      show this text\n"
    "  --version       show the version\n"
    "\n"
    "Qt's own options (-platform NAME, -style NAME, -reverse, ...) are passed to Qt.\n";

constexpr int ExitUsage = 2;

// Qt's own options (QGuiApplication, QApplication, the X11 plugin). Qt takes
// them with one dash or two, and only the style ones and the QML debugger
// also as -name=VALUE; they are handed to the application object untouched.
struct QtOption
{
    std::string_view name;
    bool takesValue;
    bool takesEqualsValue;
};

constexpr QtOption QtOptions[] = {
    {"platform", true, false},     {"platformpluginpath", true, false}, {"platformtheme", true, false},
    {"plugin", true, false},       {"qwindowgeometry", true, false},    {"qwindowicon", true, false},
    {"qwindowtitle", true, false}, {"session", true, false},            {"display", true, false},
    {"geometry", true, false},     {"title", true, false},              {"icon", true, false},
    {"name", true, false},         {"style", true, true},               {"stylesheet", true, true},
    {"qmljsdebugger", true, true}, {"reverse", false, false},           {"widgetcount", false, false},
    {"nograb", false, false},      {"dograb", false, false},            {"sync", false, false},
    {"testability", false, false},
};

int usageError(const std::string &message)
{
    std::fprintf(stderr, "vantrelle: %s (see vantrelle --help)\n", message.c_str());
    return ExitUsage;
}

// The whole command line is read here, before the application object exists,
// so that --help, --version and a bad command line need no display: the
// platform plugin is loaded only for a run that opens the window. Qt's own
// options are collected into qtArgs for the application object; nothing
// else reaches Qt, so a project word is never taken for one of its options.
// Returns the exit status when the program should end now, otherwise -1.
int readCommandLine(int argc, char **argv, StartOptions &options, std::vector<char *> &qtArgs)
{
    QStringList pathWords;
    bool optionsEnded = false;
    std::string simulationGiven; // the first --sim-* option, which needs --sim-daq
    for (int i = 1; i < argc; ++i) {
        const std::string_view word(argv[i]);
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            pathWords << QString::fromLocal8Bit(argv[i]);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const size_t eq = word.find('=');
        const std::string_view name = word.substr(0, eq);
        const bool hasValue = eq != std::string_view::npos;
        if (name == "--help" || name == "-h" || name == "--version" || name == "--sim-daq") {
            if (hasValue)
                return usageError(std::string(name) + " takes no value");
            if (name == "--sim-daq") {
                options.simulatedDaq = true;
                continue;
            }
            if (name == "--version")
                StandardOutput::Write(QStringLiteral("vantrelle %1.%2.%3\n")
                                          .arg(VANTRELLE_VERSION_MAJOR)
                                          .arg(VANTRELLE_VERSION_MINOR)
                                          .arg(VANTRELLE_VERSION_PATCH)
                                          .toLatin1());
            else
                StandardOutput::Write(HelpText);
            return StandardOutput::Failed("vantrelle") ? 1 : 0;
        }
        if (const QString simName = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
            SimulationOptions::IsSimulationOption(simName)) {
            if (!hasValue && i + 1 >= argc)
                return usageError(std::string(name) + " needs a value");
            const QString value = QString::fromLocal8Bit(hasValue ? argv[i] + eq + 1 : argv[++i]);
            if (const QString refused = SimulationOptions::Apply(options.simulation, simName, value);
                !refused.isEmpty())
                return usageError(refused.toStdString());
            simulationGiven = simulationGiven.empty() ? std::string(name) : simulationGiven;
            continue;
        }
        if (name == "--port") {
            if (!hasValue && i + 1 >= argc)
                return usageError("--port needs a device");
            options.portName = QString::fromLocal8Bit(hasValue ? argv[i] + eq + 1 : argv[++i]);
            if (options.portName.isEmpty())
                return usageError("--port needs a device");
            continue;
        }
        const std::string_view bare = name.substr(name.starts_with("--") ? 2 : 1);
        const auto qt = std::find_if(std::begin(QtOptions), std::end(QtOptions),
                                     [&](const QtOption &o) { return o.name == bare; });
        if (qt == std::end(QtOptions) || (hasValue && !qt->takesEqualsValue))
            return usageError("unknown option " + std::string(word));
        qtArgs.push_back(argv[i]);
        if (qt->takesValue && !hasValue) {
            if (i + 1 >= argc)
                return usageError(std::string(name) + " needs a value");
            qtArgs.push_back(argv[++i]);
        }
    }
    // The engine's options mean nothing to a real unit: refused rather than
    // silently ignored.
    if (!simulationGiven.empty() && !options.simulatedDaq)
        return usageError(simulationGiven + " needs --sim-daq");
    // The command line is one project path, blanks included.
    options.projectPath = pathWords.join(QLatin1Char(' '));
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    StartOptions options;
    std::vector<char *> qtArgs{argv[0]};
    if (const int status = readCommandLine(argc, argv, options, qtArgs); status >= 0)
        return status;
    int qtArgc = static_cast<int>(qtArgs.size());
    qtArgs.push_back(nullptr);
    QApplication app(qtArgc, qtArgs.data());
    QApplication::setApplicationName("Vantrelle");
    QApplication::setOrganizationName("Vantrelle");

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
