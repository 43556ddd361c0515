// Commands on data acquisition: eval (a scaling formula), sample (ticks of
// the acquisition loop against the user's configured inputs, traced in a
// tune), log (the same ticks written to a data log by the application's
// logger).

#include "CliCommon.h"
#include "StopSignals.h"

#include "daq/AcquisitionLoop.h"
#include "daq/BenchInputs.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "link/LinkSession.h"
#include "model/TraceMarks.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVRTLogger.h"
#include "daq/CVScalingCalculator.h"
#include "daq/DaqDriverFactory.h"
#include "daq/GeneralText.h"
#include "link/RealTimeSender.h"
#include "model/ImageFile.h"
#include "model/Tune.h"
#include "model/ProjectFile.h"
#include "model/StockPrograms.h"
#include "platform/FileDialogService.h"
#include "platform/MessageBoxService.h"
#include "platform/SettingsStore.h"
#include "daq/DaqSettings.h"

#include <QDateTime>
#include <QFileInfo>
#include <csignal>
#include <optional>

namespace cli {
namespace {

// The stock program whose tune gives the load calculation its injector
// constant when no project is named.
constexpr int DefaultStockProgram = 105;

int eval(const QStringList &args)
{
    if (args.size() != 2)
        return usage(QStringLiteral("eval takes FORMULA VOLTAGE"));
    bool ok = false;
    const float voltage = args[1].toFloat(&ok);
    if (!ok)
        return usage(QStringLiteral("eval: '%1' is not a voltage").arg(args[1]));
    CVScalingCalculator calculator;
    const FormulaResult r = calculator.ComputeFormula(args[0], voltage);
    if (!r.ok())
        return fail(r.error.message);
    print(vnt::GeneralText(r.value).toLatin1() + '\n');
    return ExitOk;
}

// No box on the command line: a staged rev-limit switch is reported, not sent.
class ReportingSender : public RealTimeSender
{
public:
    void SendRealTimeValue(TuneItem item, int index, int value) override
    {
        std::fprintf(stderr, "vantrelle-cli: real-time write not sent (no box): item %d, index %d, value %d\n",
                     Number(item), index, value);
        std::fflush(stderr);
    }
    void SendRealTimeVersion(const QString &) override {}
};

// One tick as the log has it, then every enabled input's value.
QByteArray tickLine(const AcquisitionSample &out)
{
    const auto traced = [&](MapKey map) {
        const AcquisitionSample::TracedCell *cell = out.cellOf(map);
        return QByteArray::number(cell ? cell->value : 0);
    };
    QByteArray line = "RPM=" + QByteArray::number(out.rpm) + " TP=" + vnt::GeneralText(out.tp).toLatin1()
        + " Timing=" + traced(MapKey::HOTM) + " LowGear=" + traced(MapKey::HOFM) + " HighGear="
        + traced(MapKey::HOHGFM) + " PW=" + vnt::GeneralText(out.injectorPW).toLatin1()
        + " Duty=" + vnt::GeneralText(out.injectorDuty).toLatin1();
    for (const AcquisitionSample::Input &input : out.inputs)
        line += ' ' + input.name.toUtf8() + '=' + vnt::GeneralText(input.scaled).toLatin1();
    return line + '\n';
}

// The tune the ticks are traced in, whose injector constant gives the load
// and which fuels the simulated engine: --tune FILE.vnt (or the older
// positional PROJECT.vnt), else stock program 105. A file that does not look
// like a project would trace in an empty tune: refused unless --force. False
// with the exit status when it fails.
bool loadTune(const QStringList &project, const Options &options, Tune &tune, int &status)
{
    if (!options.tune.isEmpty() && !project.isEmpty()) {
        status = usage(QStringLiteral("give the tune once, with --tune"));
        return false;
    }
    const QString path = options.tune.isEmpty() ? project.value(0) : options.tune;
    if (!path.isEmpty()) {
        if (!readProjectToPassOn(path, options, tune, status))
            return false;
    } else if (const StockImageResult stock = LoadStockImage(DefaultStockProgram);
               stock.status == StockImageResult::Ok) {
        TuneFromImage(stock.image, tune);
    } else {
        std::fprintf(stderr, "vantrelle-cli: %s; the load is computed with injector K 0\n",
                     qPrintable(stock.message()));
    }
    return true;
}

// The acquisition of one command: the user's inputs, the device, the loop.
struct Acquisition
{
    Acquisition(const Options &options, const Tune &loaded)
        : tune(loaded), prefs(store), driver(CreateDaqDriver(prefs, options.simDaq, options.simulation, &tune)),
          daq(*driver, prefs, tune, calculator), loop(daq, prefs, tune, marks, link, sender)
    {
        // The same bench wiring as the application's, so a log has its
        // columns (the wideband's AFR among them).
        if (options.simDaq)
            AddBenchInputs(prefs);
        rate = options.rateMs >= 0 ? options.rateMs : prefs.SamplePeriodMs();
        simulated = dynamic_cast<SimulatedU12Driver *>(driver.get());
        // The simulated clock moves on by the period the ticks are taken at.
        if (simulated)
            simulated->SetSamplePeriodMs(rate);
        wait = !options.noWait;
        started = QDateTime::currentDateTime();
    }
    // The time of the last tick: on the simulated unit its clock, from the
    // start of the run, so that a run that does not wait stamps the same
    // times as one that does; else the wall clock.
    QDateTime now() const
    {
        return simulated ? started.addMSecs(static_cast<qint64>(simulated->engine().TimeMs()))
                         : QDateTime::currentDateTime();
    }
    // One tick, rate milliseconds after the one before (at once without
    // waiting); a device failure is reported on stderr and counted. None
    // when SIGINT or SIGTERM asked to stop before it.
    std::optional<AcquisitionSample> tick(int index)
    {
        if (index > 0 && rate > 0 && wait && !StopSignals::Pause(rate))
            return std::nullopt;
        if (StopSignals::Caught() != 0)
            return std::nullopt;
        AcquisitionSample out = loop.Tick();
        if (!out.acquired) {
            ++failures;
            std::fprintf(stderr, "vantrelle-cli: %s\n", qPrintable(loop.Strip().status));
            std::fflush(stderr);
        }
        return out;
    }

    Tune tune;
    TraceMarks marks;
    LinkSession link; // no box: the staged rev limiter's switches are reported, not sent
    SettingsStore store;
    DaqSettings prefs;
    std::unique_ptr<DaqDriver> driver;
    CVScalingCalculator calculator;
    CVDataAcquisition daq;
    ReportingSender sender;
    AcquisitionLoop loop;
    int rate = 0;
    int failures = 0;
    SimulatedU12Driver *simulated = nullptr;
    bool wait = true;
    QDateTime started;
};

// Not waiting only makes sense where the clock is the program's own.
bool noWaitRefused(const Acquisition &acq, const Options &options, int &status)
{
    if (!options.noWait || acq.simulated)
        return false;
    status = usage(QStringLiteral("--no-wait needs the simulated unit (--sim-daq)"));
    return true;
}

// A command a signal stopped: its message, and the status a shell gives a
// program the signal ended, so a script sees it was cut short.
int stoppedBy(int signal, const QString &message)
{
    fail(message);
    return 128 + signal;
}

int sample(const QStringList &args, const Options &options)
{
    if (args.size() > 1)
        return usage(QStringLiteral("sample takes at most PROJECT.vnt (or --tune FILE.vnt)"));
    if (options.count < 1)
        return usage(QStringLiteral("sample: --count must be 1 or more"));
    Tune tune;
    if (int status = 0; !loadTune(args, options, tune, status))
        return status;
    Acquisition acq(options, tune);
    if (int status = 0; noWaitRefused(acq, options, status))
        return status;
    const StopSignals stop;
    int lines = 0;
    for (int tick = 0; tick < options.count; ++tick) {
        const std::optional<AcquisitionSample> out = acq.tick(tick);
        if (!out)
            break;
        // Nobody reads what cannot be written: stop, and say so at the end.
        if (out->acquired && !print(tickLine(*out)))
            return ExitFailure;
        lines += out->acquired ? 1 : 0;
    }
    if (const int signal = StopSignals::Caught(); signal != 0)
        return stoppedBy(signal, QStringLiteral("sample: stopped by %1 after %2 lines").arg(StopSignals::Name(signal)).arg(lines));
    return acq.failures == 0 ? ExitOk : ExitFailure;
}

// The logger's messages on stderr; it is never asked anything here.
class StderrMessages : public MessageBoxService
{
public:
    MsgAnswer show(QWidget *, const QString &text, MsgIcon, MsgButtons buttons) override
    {
        fail(text);
        return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Cancel;
    }
};

class NoFileDialogs : public FileDialogService
{
public:
    QString openFile(QWidget *, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
};

int logCommand(const QStringList &args, const Options &options)
{
    if (args.isEmpty() || args.size() > 2)
        return usage(QStringLiteral("log takes OUT.csv and at most PROJECT.vnt (or --tune FILE.vnt)"));
    QFileInfo target(args[0]);
    if (target.isSymLink())
        target = QFileInfo(target.symLinkTarget());
    // Never over its own tune, nor over a file that is no regular file or
    // is read-only.
    const QString tunePath = args.size() > 1 ? args[1] : options.tune;
    if (FileOutcome out = CheckOutputFile(args[0], tunePath.isEmpty() ? QStringList() : QStringList{tunePath}); !out)
        return fail(out.error);
    if (!QFileInfo(target.absolutePath()).isDir())
        return fail(QStringLiteral("%1: no folder %2").arg(args[0], target.absolutePath()));
    Tune tune;
    if (int status = 0; !loadTune(args.mid(1), options, tune, status))
        return status;
    Acquisition acq(options, tune);
    if (int status = 0; noWaitRefused(acq, options, status))
        return status;

    // The log grows beside OUT and takes its place when it ends, so OUT
    // never holds a log cut short by a kill.
    StderrMessages messages;
    NoFileDialogs files;
    CVRTLogger logger(acq.prefs, messages, files, target.absolutePath());
    logger.SetClock([&acq] { return acq.now(); });
    acq.loop.SetLogSink(&logger);
    const StopSignals stop;
    if (!logger.CreateNewLogFile())
        return ExitFailure;
    for (int tick = 0; tick < options.count && !logger.WriteFailed(); ++tick)
        if (!acq.tick(tick))
            break;

    const bool writeFailed = logger.WriteFailed();
    const QString why = logger.WriteError();
    const qint64 samples = logger.Samples();
    QString error;
    if (!logger.MoveLogTo(target.absoluteFilePath(), &error))
        return fail(QStringLiteral("%1: %2").arg(args[0], error));
    if (writeFailed)
        return fail(QStringLiteral("%1: the datalog could not be written: %2; logging stopped after %3 samples, "
                                   "which the file holds")
                        .arg(args[0], why)
                        .arg(samples));
    if (const int signal = StopSignals::Caught(); signal != 0)
        return stoppedBy(signal, QStringLiteral("%1: stopped by %2; the file holds the %3 samples logged before it")
                                     .arg(args[0], StopSignals::Name(signal))
                                     .arg(samples));
    return acq.failures == 0 ? ExitOk : ExitFailure;
}

} // namespace

int runDaqCommand(const QString &command, const QStringList &args, const Options &options)
{
    if (command == QLatin1String("eval"))
        return eval(args);
    if (command == QLatin1String("sample"))
        return sample(args, options);
    if (command == QLatin1String("log"))
        return logCommand(args, options);
    return -1;
}

} // namespace cli
