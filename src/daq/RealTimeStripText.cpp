#include "daq/RealTimeStripText.h"

#include "daq/AcquisitionSample.h"
#include "daq/CVDAQInput.h"
#include "daq/GeneralText.h"

#include <algorithm>

void RealTimeStrip::Show(const AcquisitionSample &sample)
{
    status = sample.status;
    if (!sample.acquired)
        return;

    int row = 0;
    for (const AcquisitionSample::Input &input : sample.inputs) {
        if (!input.digital && input.name == CVDAQInput::MASName()) {
            mas = vnt::GeneralText(input.voltage) + QLatin1Char('v');
            if (input.thresholdColor)
                masColor = input.thresholdColor;
            continue;
        }
        if (row < RowCount) {
            RealTimeStripRow &r = rows[static_cast<std::size_t>(row)];
            r.name = input.name;
            if (input.digital) {
                r.kind = RealTimeStripRow::Kind::Digital;
                r.high = input.value == 1.0f;
            } else {
                r.kind = RealTimeStripRow::Kind::Analog;
                r.valueText = vnt::GeneralText(input.value);
                if (input.thresholdColor)
                    r.valueColor = input.thresholdColor;
            }
        }
        ++row;
    }
    // Rows no input filled this tick are hidden, so a shrinking list leaves
    // no stale names behind.
    rowsInUse = std::min(row, RowCount);
    for (int r = rowsInUse; r < RowCount; ++r)
        rows[static_cast<std::size_t>(r)].kind = RealTimeStripRow::Kind::Hidden;

    revLimitVisible = sample.revLimitShown;
    if (sample.revLimitRpm)
        revLimitValue = QString::number(*sample.revLimitRpm);
    rpm = QString::number(sample.rpm);
    tp = QString::number(sample.tpInt);
    injectorPW = vnt::GeneralText(sample.injectorPW) + QStringLiteral(" ms");
    injectorDuty = vnt::GeneralText(sample.injectorDuty) + QLatin1Char('%');
}
