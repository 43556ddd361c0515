// The DAQ input records as read from the settings store: the fuzzer's bytes
// are the preferences file. Whatever it holds, the records load, sort, name
// their channels and go through acquisition ticks on the simulated unit; a
// record stored back under the name it was read with reads back the same.
// The other readers of the same file (recent files, fuel correction
// settings) take it too.

#include "FuzzCheck.h"

#include "analysis/FuelCorrection.h"
#include "daq/AcquisitionLoop.h"
#include "daq/CVDataAcquisition.h"
#include "daq/CVScalingCalculator.h"
#include "daq/sim/SimulatedU12Driver.h"
#include "link/LinkSession.h"
#include "model/ProgramState.h"
#include "model/TraceMarks.h"
#include "support/NullSender.h"
#include "platform/SettingsStore.h"
#include "daq/DaqSettings.h"
#include "model/RecentFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <optional>

namespace {

void checkSorted(const DAQInputList &list, bool digital)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        FUZZ_CHECK(list[i]->Enabled());
        FUZZ_CHECK((list[i]->InputType() == CVDAQInput::Digital) == digital);
        FUZZ_CHECK(i == 0 || list[i - 1]->DAQInput() <= list[i]->DAQInput());
    }
}

struct Stored
{
    QString name;
    qint32 channel, type, gain;
    QString formula;
    bool enabled;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QTemporaryDir folder;
    FUZZ_CHECK(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("Vantrelle.ini"));
    {
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        const qint64 length = static_cast<qint64>(size);
        FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), length) == length);
    }

    SettingsStore store(path);
    RecentFiles recent;
    recent.Load(store);
    FUZZ_CHECK(recent.entries().size() <= RecentFiles::MaxEntries);
    const FuelCorrection::Settings correction = FuelCorrection::LoadSettings(store);
    for (double target : correction.targets.afr)
        FUZZ_CHECK(target >= FuelCorrection::TargetLow && target <= FuelCorrection::TargetHigh);

    std::optional<Stored> rewritten;
    {
        DaqSettings prefs(store);
        FUZZ_CHECK(!prefs.DAQInputs().empty());
        checkSorted(prefs.SortedAnalogDAQInputs(), false);
        checkSorted(prefs.SortedDigitalDAQInputs(), true);
        for (const auto &input : prefs.DAQInputs()) {
            (void)input->ChannelName();
            (void)CVDAQInput::TypeName(input->InputType());
        }

        SimulatedU12Driver driver(&prefs, 1);
        CVScalingCalculator calculator;
        ProgramState state;
        CVDataAcquisition daq(driver, prefs, state.tune, calculator);
        NullSender sender;
        TraceMarks marks;
        LinkSession link;
        AcquisitionLoop loop(daq, prefs, state.tune, marks, link, sender);
        for (int tick = 0; tick < 3; ++tick) {
            loop.Tick();
            FUZZ_CHECK(loop.Strip().rowsInUse <= RealTimeStrip::RowCount);
        }

        // Stored back under its own name (the setup panel's OK without a
        // change).
        const CVDAQInput &in = *prefs.DAQInputs().front();
        const Stored s{in.Name(), in.DAQInput(), in.InputType(), in.Gain(), in.ScalingFormula(), in.Enabled()};
        if (prefs.DAQInputRefusal(s.name, DAQInputRecord::Of(in)).isEmpty()) {
            FUZZ_CHECK(prefs.UpdateDAQInput(s.name, DAQInputRecord::Of(in)));
            rewritten = s;
        }
    }
    if (rewritten) {
        DaqSettings again(store);
        const CVDAQInput *in = again.FindDAQInput(rewritten->name);
        FUZZ_CHECK(in);
        FUZZ_CHECK(in->DAQInput() == rewritten->channel && in->InputType() == rewritten->type
                   && in->Gain() == rewritten->gain && in->Enabled() == rewritten->enabled
                   && in->ScalingFormula() == rewritten->formula);
    }
    return 0;
}
