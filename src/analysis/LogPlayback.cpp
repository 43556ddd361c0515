#include "analysis/LogPlayback.h"

#include "analysis/DataLog.h"
#include "daq/AcquisitionLoop.h"
#include "daq/CVDAQInput.h"
#include "daq/CVRTLogger.h"
#include "daq/EngineTrace.h"
#include "model/TraceMarks.h"
#include "platform/Rounding.h"

#include <cmath>

namespace LogPlayback {

namespace {

// The logger's own columns, which playback computes again from the tune as
// it is rather than reading them as inputs.
bool isFixed(const QString &name)
{
    return CVRTLogger::FixedColumns().contains(name.trimmed(), Qt::CaseInsensitive);
}

} // namespace

Columns FindColumns(const DataLog &log, const QStringList &digitalNames)
{
    Columns c;
    c.rpm = log.columnIndex(QStringLiteral("RPM"));
    c.tp = log.columnIndex(QStringLiteral("TP"));
    c.mas = log.columnIndex(CVDAQInput::MASName());
    for (int i = 0; i < log.columnCount(); ++i) {
        if (isFixed(log.names[i]))
            continue;
        c.inputs.push_back(i);
        c.digital.push_back(digitalNames.contains(log.names[i].trimmed(), Qt::CaseInsensitive));
    }
    return c;
}

AcquisitionSample SampleAt(const DataLog &log, const Columns &columns, std::size_t row, const Tune &tune,
                           TraceMarks &marks, bool keepVisitedCells)
{
    AcquisitionSample out;
    out.status = StatusText();
    if (!columns.canTrace() || row >= log.rowCount())
        return out;
    const auto value = [&](int column) { return log.columns[static_cast<std::size_t>(column)][row]; };
    const float rpm = value(columns.rpm);
    const float tp = value(columns.tp);
    // A speed beyond any engine's would not fit the tick's integer.
    if (!std::isfinite(rpm) || !std::isfinite(tp) || std::abs(rpm) > 1e6f)
        return out;

    out.acquired = true;
    out.rpm = static_cast<qint32>(vnt::R(static_cast<double>(rpm)));
    out.tp = tp;
    out.tpInt = IntegerLoad(tp);
    for (std::size_t i = 0; i < columns.inputs.size(); ++i) {
        const float v = value(columns.inputs[i]);
        AcquisitionSample::Input input;
        input.name = log.names[columns.inputs[i]];
        input.digital = columns.digital[i];
        input.value = input.digital ? (v == 1.0f ? 1.0f : 0.0f) : v;
        input.voltage = v;
        input.scaled = v;
        out.inputs.push_back(input);
    }
    if (columns.mas >= 0 && std::isfinite(value(columns.mas)))
        out.masVoltage = value(columns.mas);

    EngineTrace::Trace(tune, marks, out, keepVisitedCells);
    const InjectorFigures injector =
        ComputeInjectorFigures(tp, out.rpm, marks.Of(MapKey::HOHGFM).LastAccessedValue());
    out.injectorPW = injector.pulseWidth;
    out.injectorDuty = injector.duty;
    return out;
}

} // namespace LogPlayback
