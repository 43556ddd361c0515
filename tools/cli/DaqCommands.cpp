// Commands on data acquisition: eval (a scaling formula), sample (ticks of
// the acquisition loop against the user's configured inputs).

#include "CliCommon.h"

#include "daq/CVAcquisitionLoop.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "daq/DaqDriverFactory.h"
#include "daq/GeneralText.h"
#include "link/RealTimeSender.h"
#include "model/ImageFile.h"
#include "model/ProgramState.h"
#include "model/ProjectFile.h"
#include "model/StockPrograms.h"
#include "platform/SettingsStore.h"
#include "shell/prefs/CVUserPrefs.h"

#include <QThread>

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
    void SendRealTimeValue(int item, int index, int value) override
    {
        std::fprintf(stderr, "vantrelle-cli: real-time write not sent (no box): item %d, index %d, value %d\n",
                     item, index, value);
        std::fflush(stderr);
    }
    void SendRealTimeVersion(const QString &) override {}
};

QByteArray tickLine(const TickOutcome &out, const CVUserPrefs &prefs)
{
    QByteArray line = "RPM=" + QByteArray::number(out.rpm) + " TP=" + vnt::GeneralText(out.tp).toLatin1();
    for (const DAQInputList *list : {&prefs.SortedAnalogDAQInputs(), &prefs.SortedDigitalDAQInputs()})
        for (const auto &input : *list)
            line += ' ' + input->Name().toUtf8() + '=' + vnt::GeneralText(input->Value()).toLatin1();
    return line + '\n';
}

int sample(const QStringList &args, const Options &options)
{
    if (args.size() > 1)
        return usage(QStringLiteral("sample takes at most PROJECT.vnt"));
    if (options.count < 1)
        return usage(QStringLiteral("sample: --count must be 1 or more"));

    ProgramState state;
    if (!args.isEmpty()) {
        if (FileOutcome r = ReadProjectFile(args[0], state.tune); !r)
            return fail(QStringLiteral("Error when attempting to load map: %1").arg(r.error));
    } else if (const StockImageResult stock = LoadStockImage(DefaultStockProgram);
               stock.status == StockImageResult::Ok) {
        TuneFromImage(stock.image, state.tune);
    } else {
        std::fprintf(stderr, "vantrelle-cli: %s; the load is computed with injector K 0\n",
                     qPrintable(stock.message()));
    }

    SettingsStore store;
    CVUserPrefs prefs(store);
    const int rate = options.rateMs >= 0 ? options.rateMs : prefs.DAQSampleRate();
    const std::unique_ptr<DaqDriver> driver = CreateDaqDriver(prefs, options.simDaq);
    CVScalingCalculator calculator;
    CVDataAcquisition daq(*driver, prefs, state.tune, calculator);
    ReportingSender sender;
    CVAcquisitionLoop loop(daq, prefs, state, sender);

    int failures = 0;
    for (int tick = 0; tick < options.count; ++tick) {
        if (tick > 0 && rate > 0)
            QThread::msleep(static_cast<unsigned long>(rate));
        const TickOutcome out = loop.Tick();
        if (out.acquired) {
            print(tickLine(out, prefs));
        } else {
            ++failures;
            std::fprintf(stderr, "vantrelle-cli: %s\n", qPrintable(loop.Strip().status));
            std::fflush(stderr);
        }
    }
    return failures == 0 ? ExitOk : ExitFailure;
}

} // namespace

int runDaqCommand(const QString &command, const QStringList &args, const Options &options)
{
    if (command == QLatin1String("eval"))
        return eval(args);
    if (command == QLatin1String("sample"))
        return sample(args, options);
    return -1;
}

} // namespace cli
