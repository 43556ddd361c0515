// vantrelle-cli: the tune files, the box and the DAQ from the command line,
// built on the same library as the application.

#include "CliCommon.h"

#include "analysis/FuelCorrection.h"

#include <QCoreApplication>

namespace {

const char *const HelpText =
    "Usage: vantrelle-cli [OPTIONS] COMMAND [ARGS]\n"
    "\n"
    "Tune files:\n"
    "  show FILE.vnt                 print the tune as JSON (raw values)\n"
    "  pack IN.json OUT.vnt          write a project file from JSON of the same shape\n"
    "  extract IMAGE.bin OUT.vnt     the tune regions of a raw image as a project file\n"
    "  patch IN.vnt BASE.bin OUT.bin BASE with every tune region replaced from IN\n"
    "  stock NUMBER OUT.bin          copy stock image NUMBER (105, 104, 103, 101)\n"
    "                                out of the resource module vntres.dll\n"
    "  diff A B                      the values tune B differs from tune A in, one\n"
    "                                line each: map or item, entry, RPM and load of\n"
    "                                a map cell, old -> new in the panels' units\n"
    "                                (A and B each a project file or a raw image);\n"
    "                                exits 0 when they are the same, 1 when they\n"
    "                                differ, 2 when one cannot be read\n"
    "  textconv FILE                 the whole tune as text, one value a line, every\n"
    "                                map cell with its map, row, column, RPM and load\n"
    "                                (the same tune gives the same text; a text\n"
    "                                converter for git diff, see the manual page)\n"
    "\n"
    "The tune history the application keeps (in --folder, default the\n"
    "application's data folder; show and restore exit 1 for an entry the\n"
    "history does not hold):\n"
    "  history list                  one line per entry: number, local time, what\n"
    "                                happened, where, note\n"
    "  history show N                entry N, then the values it changed from the\n"
    "                                entry before it (as diff prints them)\n"
    "  history restore N OUT.vnt     write the tune of entry N to a project file\n"
    "\n"
    "The box (each command first runs the version handshake on --port):\n"
    "  connect                       print the box's hardware version\n"
    "  read-tune OUT.vnt             read the tune from the box into a project file\n"
    "  write-tune IN.vnt             write a project file's tune into the box\n"
    "  read-rom OUT.bin              read the box's whole memory into a raw image;\n"
    "                                a read that stops early leaves OUT.bin as it\n"
    "                                was (or absent)\n"
    "  write-rom IN.bin              write a raw image into the box's memory\n"
    "  rt-write ITEM INDEX VALUE     one real-time write: a byte (item 23: the VQ\n"
    "                                entry's 16-bit value; item 17: the version text)\n"
    "\n"
    "Data acquisition (the inputs configured in the user's preferences):\n"
    "  eval FORMULA VOLTAGE          evaluate a scaling formula for a voltage\n"
    "  sample                        run acquisition ticks and print one line per\n"
    "                                tick: RPM, TP, the timing mark and the low and\n"
    "                                high gear enrichments of the cells the engine\n"
    "                                runs in (traced in the tune of --tune, as the\n"
    "                                application traces them), the injector pulse\n"
    "                                width and duty, and each enabled input's value\n"
    "  log OUT.csv                   run the same ticks and write them to a datalog\n"
    "                                as the application does: its header, one line\n"
    "                                per tick, whole lines only, separated as the\n"
    "                                DataLogFormat preference says. The log grows\n"
    "                                beside OUT and replaces it when it ends. A write\n"
    "                                failure (a full disk, say) stops it at once: OUT\n"
    "                                then holds the whole lines written before it\n"
    "                                and the command exits 1. SIGINT or SIGTERM\n"
    "                                stops it after the current line: OUT then\n"
    "                                holds the lines logged so far, and the command\n"
    "                                says how many and exits 128 + the signal's\n"
    "                                number (sample stops the same way)\n"
    "  correct LOG.csv --tune IN.vnt --out OUT.vnt\n"
    "                                the application's fuel correction from a\n"
    "                                datalog: each reading is put down to the cell\n"
    "                                the engine was in the transport delay before,\n"
    "                                shared among the cells around it; prints one\n"
    "                                line per changed cell and, on stderr, what was\n"
    "                                left out and why; writes the corrected tune to\n"
    "                                OUT. Settings from the preferences unless given:\n"
    "  --target AFR                  correct: one target ratio for every cell (6-25)\n"
    "  --delay MS|auto               correct: the transport delay in ms (0-5000), or\n"
    "                                auto to estimate it from the log\n"
    "  --cap PCT                     correct: most a cell's fuel changes (1-50 %)\n"
    "  --map KEY                     correct: the fuel map, HOFM (default), HOHGFM,\n"
    "                                LOFM or LOHGFM\n"
    "  --afr-column NAME             correct: the column of measured ratios (default\n"
    "                                AFR, already a ratio)\n"
    "\n"
    "Options:\n"
    "  --port DEVICE                 serial device of the box, e.g. /dev/ttyUSB0\n"
    "  --fast-handshake              wait 100 ms instead of 2 s before the version\n"
    "                                request and between polls\n"
    "  --sim-daq                     acquire from the simulated U12 and its engine\n"
    "                                instead of the LabJack library; with no DAQ\n"
    "                                inputs of one's own in the preferences, the\n"
    "                                bench wiring is added to them, as the\n"
    "                                application does (AFR: the wideband on AI7)\n"
    "  --sim-drive road|dyno         with --sim-daq: the car's drive: road (default;\n"
    "                                idle, staged launch, five gears, coast) or dyno\n"
    "                                (each open-loop cell of the fuel map held 3 s)\n"
    "  --sim-fuel-error PCT          with --sim-daq: the engine's true fuel need\n"
    "                                departs from the stock tune by a smooth field\n"
    "                                within +-PCT percent (0 to 50, default 0)\n"
    "  --sim-seed N                  with --sim-daq: seeds that field and the noise\n"
    "                                (0 to 4294967295, default 1)\n"
    "  --sim-o2-delay MS             with --sim-daq: exhaust transport delay before\n"
    "                                the wideband sensor (0 to 5000 ms, default 0)\n"
    "  --sim-daq-latency MS          with --sim-daq: every call to the unit blocks\n"
    "                                MS ms, as a real U12 does (0 to 1000, default 0)\n"
    "  --no-wait                     sample, log, with the simulated unit: do not wait\n"
    "                                between ticks; the simulated clock runs as fast\n"
    "                                as they compute and gives the same lines (the\n"
    "                                log's times follow it, from the start of the run)\n"
    "  --tune FILE.vnt               sample, log: the project whose maps are traced and\n"
    "                                whose injector constant gives the load (default:\n"
    "                                stock program 105; a last word PROJECT.vnt is\n"
    "                                taken the same way)\n"
    "  --count N                     sample, log: number of ticks (default 10)\n"
    "  --rate MS                     sample, log: milliseconds between ticks (default:\n"
    "                                the sample rate preference)\n"
    "  --force                       write-tune, patch, sample, log: use a project\n"
    "                                file that does not look like one (shorter than\n"
    "                                1837 bytes, or a first byte other than 0x31);\n"
    "                                show only warns;\n"
    "                                write-rom, extract, patch: take the first 32768\n"
    "                                bytes of a file longer than an image\n"
    "  --raw                         diff: the bytes that differ, item by item, with\n"
    "                                their offset in the item, old and new in hex\n"
    "  --folder DIR                  history: the folder of the history to read\n"
    "  --help, -h                    show this text\n"
    "  --version                     show the version\n"
    "\n"
    "Every command exits 0 on success. On failure it prints one message on stderr,\n"
    "exits non-zero and leaves its output file untouched. Files are read only when\n"
    "they are regular files, and only as far as their format goes. An output that\n"
    "is one of the command's inputs (also by a link or another path), or that\n"
    "exists but is not a regular file (a folder, pipe, device or socket), is\n"
    "refused before anything is written. log keeps the whole lines it wrote\n"
    "before a failure, as said above. A command whose standard output cannot be\n"
    "written (a full disk, say) exits 1 (diff: 2).\n";

// The options every command may be given; each command takes what it needs.
struct OptionSpec
{
    const char *name;
    bool takesValue;
    bool (*apply)(cli::Options &options, const QString &value);
};

// A number as the correction's settings take it, for its options.
bool numberInto(std::optional<double> &to, const std::optional<double> &number)
{
    if (number)
        to = number;
    return number.has_value();
}

const OptionSpec OptionSpecs[] = {
    {"--port", true, [](cli::Options &o, const QString &v) { o.port = v; return !v.isEmpty(); }},
    {"--fast-handshake", false, [](cli::Options &o, const QString &) { o.fastHandshake = true; return true; }},
    {"--sim-daq", false, [](cli::Options &o, const QString &) { o.simDaq = true; return true; }},
    {"--force", false, [](cli::Options &o, const QString &) { o.force = true; return true; }},
    {"--no-wait", false, [](cli::Options &o, const QString &) { o.noWait = true; return true; }},
    {"--count", true,
     [](cli::Options &o, const QString &v) {
         bool ok = false;
         o.count = v.toInt(&ok);
         return ok && o.count >= 1;
     }},
    {"--tune", true, [](cli::Options &o, const QString &v) { o.tune = v; return !v.isEmpty(); }},
    {"--raw", false, [](cli::Options &o, const QString &) { o.raw = true; return true; }},
    {"--folder", true, [](cli::Options &o, const QString &v) { o.folder = v; return !v.isEmpty(); }},
    {"--rate", true,
     [](cli::Options &o, const QString &v) {
         bool ok = false;
         o.rateMs = v.toInt(&ok);
         return ok && o.rateMs >= 0 && o.rateMs <= 60000;
     }},
    // correct
    {"--out", true, [](cli::Options &o, const QString &v) { o.out = v; return !v.isEmpty(); }},
    {"--target", true,
     [](cli::Options &o, const QString &v) {
         return numberInto(o.target, FuelCorrection::NumberWithin(v, FuelCorrection::TargetLow, FuelCorrection::TargetHigh));
     }},
    {"--cap", true,
     [](cli::Options &o, const QString &v) {
         return numberInto(o.capPercent,
                           FuelCorrection::NumberWithin(v, FuelCorrection::MaxChangeLow, FuelCorrection::MaxChangeHigh));
     }},
    {"--delay", true,
     [](cli::Options &o, const QString &v) {
         return numberInto(o.delayMs, FuelCorrection::DelayFromText(v));
     }},
    {"--map", true,
     [](cli::Options &o, const QString &v) {
         o.fuelMap = MapKeyFromText(v);
         return o.fuelMap && IsFuelMap(*o.fuelMap);
     }},
    {"--afr-column", true, [](cli::Options &o, const QString &v) { o.afrColumn = v; return !v.isEmpty(); }},
};

const OptionSpec *findOption(const QString &name)
{
    for (const OptionSpec &known : OptionSpecs)
        if (name == QLatin1String(known.name))
            return &known;
    return nullptr;
}

// Runs the command line; command is the command it named.
int runCommandLine(const QStringList &words, QString &command)
{
    cli::Options options;
    QStringList args;
    bool optionsEnded = false;
    QString simulationGiven; // the first --sim-* option, which needs --sim-daq
    for (int i = 0; i < words.size(); ++i) {
        const QString &w = words[i];
        if (!optionsEnded && (w == QLatin1String("--help") || w == QLatin1String("-h"))) {
            cli::print(HelpText);
            return cli::ExitOk;
        }
        if (!optionsEnded && w == QLatin1String("--version")) {
            cli::print(QStringLiteral("vantrelle-cli %1.%2.%3\n")
                           .arg(VANTRELLE_VERSION_MAJOR)
                           .arg(VANTRELLE_VERSION_MINOR)
                           .arg(VANTRELLE_VERSION_PATCH)
                           .toLatin1());
            return cli::ExitOk;
        }
        if (!optionsEnded && w == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && w.startsWith(QLatin1String("--"))) {
            // --name VALUE or --name=VALUE, anywhere on the line.
            const qsizetype eq = w.indexOf(QLatin1Char('='));
            const QString name = eq < 0 ? w : w.left(eq);
            if (SimulationOptions::IsSimulationOption(name)) {
                if (eq < 0 && i + 1 >= words.size())
                    return cli::usage(QStringLiteral("%1 needs a value").arg(name));
                const QString value = eq >= 0 ? w.mid(eq + 1) : words[++i];
                if (const QString refused = SimulationOptions::Apply(options.simulation, name, value);
                    !refused.isEmpty())
                    return cli::usage(refused);
                if (simulationGiven.isEmpty())
                    simulationGiven = name;
                continue;
            }
            const OptionSpec *known = findOption(name);
            if (!known)
                return cli::usage(QStringLiteral("unknown option %1").arg(name));
            QString value;
            if (known->takesValue) {
                if (eq >= 0)
                    value = w.mid(eq + 1);
                else if (i + 1 < words.size())
                    value = words[++i];
                else
                    return cli::usage(QStringLiteral("%1 needs a value").arg(name));
            } else if (eq >= 0) {
                return cli::usage(QStringLiteral("%1 takes no value").arg(name));
            }
            if (!known->apply(options, value))
                return cli::usage(QStringLiteral("bad value '%1' for %2").arg(value, name));
            continue;
        }
        if (command.isEmpty())
            command = w;
        else
            args << w;
    }
    if (command.isEmpty())
        return cli::usage(QStringLiteral("no command given"));
    // The engine's options mean nothing to a real unit: refused rather than
    // silently ignored.
    if (!simulationGiven.isEmpty() && !options.simDaq)
        return cli::usage(QStringLiteral("%1 needs --sim-daq").arg(simulationGiven));

    for (auto run : {cli::runModelCommand, cli::runTuneTextCommand, cli::runHistoryCommand, cli::runLinkCommand,
                     cli::runDaqCommand, cli::runCorrectCommand}) {
        const int status = run(command, args, options);
        if (status >= 0)
            return status;
    }
    return cli::usage(QStringLiteral("unknown command %1").arg(command));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString command;
    const int status = runCommandLine(app.arguments().mid(1), command);
    return cli::finishOutput(status, command == QLatin1String("diff"));
}
