#include "gauges/ui/GaugesWindow.h"

#include "daq/CVDAQInput.h"
#include "daq/DaqSettings.h"
#include "daq/GeneralText.h"
#include "gauges/GaugeRanges.h"
#include "editors/CVMapColorInfo.h"
#include "model/ProgramState.h"
#include "model/Units.h"

#include <QGridLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int Columns = 4;

QColor toQColor(quint32 c)
{
    return QColor(VntRed(c), VntGreen(c), VntBlue(c));
}

} // namespace

GaugesWindow::GaugesWindow(const ProgramState &state, const DaqSettings &prefs, QWidget *parent)
    : QWidget(parent, Qt::Window), m_state(state), m_prefs(prefs)
{
    setObjectName(QStringLiteral("GaugesWindow"));
    setWindowTitle(QStringLiteral("Gauges"));
    auto *outer = new QVBoxLayout(this);
    m_status = new QLabel(QStringLiteral("No data available."), this);
    m_status->setObjectName(QStringLiteral("lblGaugesStatus"));
    outer->addWidget(m_status);
    m_grid = new QGridLayout;
    outer->addLayout(m_grid, 1);

    m_frame = new QTimer(this);
    m_frame->setSingleShot(true);
    m_frame->setInterval(FrameIntervalMs);
    connect(m_frame, &QTimer::timeout, this, &GaugesWindow::ApplyPending);

    rebuild(AcquisitionSample());
    showNoReadings();
    resize(760, 420);
}

GaugeWidget *GaugesWindow::addGauge(const QString &key, const QString &title, GaugeWidget::Style style,
                                   GaugeScale::Range range)
{
    auto *gauge = new GaugeWidget(title, style, this);
    gauge->setObjectName(QStringLiteral("gauge_") + key);
    gauge->setRange(range);
    const int n = static_cast<int>(m_order.size());
    m_grid->addWidget(gauge, n / Columns, n % Columns);
    gauge->show(); // at once, also when the board is rebuilt while on screen
    m_gauges.insert(key, gauge);
    m_order << key;
    return gauge;
}

QStringList GaugesWindow::inputKeys(const AcquisitionSample &sample)
{
    QStringList keys;
    for (const AcquisitionSample::Input &input : sample.inputs)
        if (input.name != CVDAQInput::MASName())
            keys << input.name + (input.digital ? QStringLiteral("|digital") : QString());
    return keys;
}

// A gauge per fixed value and per input of the sample, each on the range its
// value is set up to take.
void GaugesWindow::rebuild(const AcquisitionSample &sample)
{
    for (GaugeWidget *g : std::as_const(m_gauges)) {
        m_grid->removeWidget(g);
        delete g;
    }
    m_gauges.clear();
    m_order.clear();
    m_inputs = inputKeys(sample);

    using GaugeScale::NiceRange;
    addGauge(RpmKey(), QStringLiteral("RPM"), GaugeWidget::Style::Dial, GaugeRanges::Rpm(m_state.tune));
    addGauge(TpKey(), QStringLiteral("TP"), GaugeWidget::Style::Dial, GaugeRanges::Tp(m_state.tune));
    fitTuneRanges();
    addGauge(MasKey(), QStringLiteral("MAS (v)"), GaugeWidget::Style::Bar, NiceRange(0, 5));
    addGauge(DutyKey(), QStringLiteral("Duty Cycle (%)"), GaugeWidget::Style::Bar, NiceRange(0, 100));

    for (const AcquisitionSample::Input &input : sample.inputs) {
        if (input.name == CVDAQInput::MASName())
            continue;
        if (input.digital) {
            addGauge(input.name, input.name, GaugeWidget::Style::Lamp, NiceRange(0, 1));
            continue;
        }
        const CVDAQInput *record = m_prefs.FindDAQInput(input.name);
        const GaugeScale::Range range = record ? GaugeRanges::Input(*record, m_calculator) : NiceRange(0, 5);
        GaugeWidget::Zones zones;
        if (record && record->ThresholdsEnabled()) {
            zones.warning = record->WarningThreshold();
            zones.critical = record->CriticalThreshold();
            zones.warningColor = toQColor(record->WarningThresholdColor());
            zones.criticalColor = toQColor(record->CriticalThresholdColor());
        }
        GaugeWidget *g = addGauge(input.name, input.name, GaugeWidget::Style::Bar, range);
        g->setZones(zones);
    }
}

void GaugesWindow::fitTuneRanges()
{
    const double revLimit = Units::RpmOf(m_state.tune.general().RevLimiter());
    if (GaugeWidget *rpm = Gauge(RpmKey())) {
        rpm->setRange(GaugeRanges::Rpm(m_state.tune));
        GaugeWidget::Zones redline;
        if (revLimit > 0) {
            redline.critical = revLimit;
            redline.criticalColor = toQColor(CVDAQInput::DefaultCriticalColor);
        }
        rpm->setZones(redline);
    }
    if (GaugeWidget *tp = Gauge(TpKey()))
        tp->setRange(GaugeRanges::Tp(m_state.tune));
}

void GaugesWindow::TakeSample(const AcquisitionSample &sample)
{
    m_pending = sample;
    if (isVisible() && !m_frame->isActive())
        m_frame->start();
}

void GaugesWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The tune may have come or changed since the window was last shown.
    fitTuneRanges();
    if (m_pending && !m_frame->isActive())
        m_frame->start();
    emit shownChanged(true);
}

void GaugesWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_frame->stop();
    emit shownChanged(false);
}

void GaugesWindow::showReading(GaugeWidget *gauge, double value, const QString &text, std::optional<quint32> color)
{
    if (!gauge)
        return;
    gauge->setReading(value, text, color ? toQColor(*color) : QColor());
}

void GaugesWindow::ApplyPending()
{
    m_frame->stop();
    if (!m_pending)
        return;
    const AcquisitionSample sample = std::move(*m_pending);
    m_pending.reset();
    ++m_applies;

    m_status->setText(sample.status.isEmpty() ? QStringLiteral("No data available.") : sample.status);
    if (!sample.acquired)
        return; // the device failed: the gauges keep the last good values
    if (inputKeys(sample) != m_inputs)
        rebuild(sample);

    showReading(Gauge(RpmKey()), sample.rpm, QString::number(sample.rpm), std::nullopt);
    showReading(Gauge(TpKey()), sample.tpInt, QString::number(sample.tpInt), std::nullopt);
    showReading(Gauge(MasKey()), sample.masVoltage, vnt::GeneralText(sample.masVoltage) + QLatin1Char('v'),
         sample.masColor);
    showReading(Gauge(DutyKey()), sample.injectorDuty, vnt::GeneralText(sample.injectorDuty) + QLatin1Char('%'),
         std::nullopt);
    for (const AcquisitionSample::Input &input : sample.inputs) {
        if (input.name == CVDAQInput::MASName())
            continue;
        GaugeWidget *g = Gauge(input.name);
        if (!g)
            continue;
        if (input.digital)
            g->setReading(input.value, input.value >= 0.5f ? QStringLiteral("On") : QStringLiteral("Off"),
                          input.thresholdColor ? toQColor(*input.thresholdColor) : QColor());
        else
            showReading(g, input.value, vnt::GeneralText(input.value), input.thresholdColor);
    }
}

void GaugesWindow::DataStopped()
{
    m_frame->stop();
    m_pending.reset();
    m_status->setText(QStringLiteral("No data: real-time mode is off."));
    showNoReadings();
}

void GaugesWindow::showNoReadings()
{
    const QColor idle = palette().color(QPalette::Disabled, QPalette::WindowText);
    for (GaugeWidget *g : std::as_const(m_gauges))
        g->setReading(g->range().min, QStringLiteral("--"), idle);
}
