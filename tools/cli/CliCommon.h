#pragma once

#include "daq/sim/SimulationOptions.h"
#include "model/MapCatalogue.h"
#include "platform/StandardOutput.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

class Tune;

// What every command of vantrelle-cli shares: one clear message on stderr
// and a non-zero exit on failure, output files written whole or not at all.
namespace cli {

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

inline int fail(const QString &message)
{
    std::fprintf(stderr, "vantrelle-cli: %s\n", qPrintable(message));
    std::fflush(stderr);
    return ExitFailure;
}

inline int usage(const QString &message)
{
    std::fprintf(stderr, "vantrelle-cli: %s (see vantrelle-cli --help)\n", qPrintable(message));
    return ExitUsage;
}

inline void warn(const QString &message)
{
    std::fprintf(stderr, "vantrelle-cli: warning: %s\n", qPrintable(message));
    std::fflush(stderr);
}

// Standard output is checked once, when the command ends (finishOutput);
// false tells a long command to stop writing into a full disk.
inline bool print(const QByteArray &bytes)
{
    return StandardOutput::Write(bytes);
}

// The exit status once the command's output is flushed: a write to stdout
// that failed is one message and a failure, never a success. diff, whose 1
// means "they differ", says trouble with 2.
inline int finishOutput(int status, bool statusOneMeansDiffer)
{
    if (!StandardOutput::Failed("vantrelle-cli"))
        return status;
    if (statusOneMeansDiffer)
        return ExitUsage;
    return status == ExitOk ? ExitFailure : status;
}

// Options shared by the commands; a command takes what it needs.
struct Options
{
    QString port;          // --port DEVICE
    bool fastHandshake = false;
    bool simDaq = false;
    EngineSimulation simulation; // --sim-fuel-error, --sim-seed, --sim-o2-delay, --sim-drive, --sim-daq-latency
    bool noWait = false;         // --no-wait: the simulated clock runs as fast as the ticks compute
    bool force = false;    // --force: use a project file that does not look like one
    int count = 10;        // --count N
    int rateMs = -1;       // --rate MS; -1: the sample period preference
    QString tune;          // --tune FILE.vnt: the tune sample and log trace in
    bool raw = false;      // --raw: diff prints bytes, not values
    QString folder;        // --folder DIR: the tune history's folder
    // correct: where the corrected tune goes, and what the command line says
    // over the preferences' correction settings.
    QString out;                       // --out FILE.vnt
    std::optional<double> target;      // --target AFR: one target for every cell
    std::optional<double> delayMs;     // --delay MS; below 0: auto
    std::optional<double> capPercent;  // --cap PCT
    std::optional<MapKey> fuelMap;     // --map KEY
    QString afrColumn;                 // --afr-column NAME
};

// Reads a project whose tune a command passes on (to the box, into an
// image). A file that does not look like a project is refused unless
// --force; then, or when it cannot be read, status is the exit code.
bool readProjectToPassOn(const QString &path, const Options &options, Tune &tune, int &status);

// Each group of commands: returns -1 when it does not know the command.
int runModelCommand(const QString &command, const QStringList &args, const Options &options);
int runLinkCommand(const QString &command, const QStringList &args, const Options &options);
int runDaqCommand(const QString &command, const QStringList &args, const Options &options);
int runTuneTextCommand(const QString &command, const QStringList &args, const Options &options);
int runHistoryCommand(const QString &command, const QStringList &args, const Options &options);
int runCorrectCommand(const QString &command, const QStringList &args, const Options &options);

} // namespace cli
