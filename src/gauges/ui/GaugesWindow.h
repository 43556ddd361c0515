#pragma once

#include "gauges/ui/GaugeWidget.h"
#include "daq/AcquisitionSample.h"
#include "daq/CVScalingCalculator.h"

#include <QMap>
#include <QStringList>
#include <QWidget>
#include <optional>

class DaqSettings;
class QGridLayout;
class QLabel;
class QTimer;
class ProgramState;

// The dashboard: dial and bar gauges for engine speed, load, the "MAS"
// voltage and the injector duty cycle, and one gauge for every other
// enabled DAQ input (a lamp for a digital line), coloured by the input's
// thresholds as the real-time strip colours them.
//
// Acquisition never waits for it: a tick only hands over its sample, and
// the latest sample is shown at most once per FrameIntervalMs, so samples
// that arrive faster (or while the interface is busy) are folded into one
// update. Nothing is drawn while the window is hidden.
class GaugesWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int FrameIntervalMs = 15;

    // Fixed gauges' keys; DAQ inputs are keyed by their names.
    static QString RpmKey() { return QStringLiteral("RPM"); }
    static QString TpKey() { return QStringLiteral("TP"); }
    static QString MasKey() { return QStringLiteral("MAS"); }
    static QString DutyKey() { return QStringLiteral("Injector Duty"); }

    GaugesWindow(const ProgramState &state, const DaqSettings &prefs, QWidget *parent = nullptr);

    // One acquisition tick's values: kept, and shown at the next frame.
    void TakeSample(const AcquisitionSample &sample);
    // Shows the kept sample now (the frame timer does this).
    void ApplyPending();
    // No more samples will come (real-time mode ended): the board says so
    // and the needles and bars drop back, rather than showing the last
    // values as if they were live.
    void DataStopped();

    GaugeWidget *Gauge(const QString &key) const { return m_gauges.value(key, nullptr); }
    QStringList GaugeKeys() const { return m_order; }
    // Samples shown so far (each one a pass over the gauges).
    int ApplyCount() const { return m_applies; }
    bool HasPending() const { return m_pending.has_value(); }

signals:
    // The window was shown (true) or hidden or closed (false).
    void shownChanged(bool shown);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void rebuild(const AcquisitionSample &sample);
    static QStringList inputKeys(const AcquisitionSample &sample);
    GaugeWidget *addGauge(const QString &key, const QString &title, GaugeWidget::Style style,
                          GaugeScale::Range range);
    void showReading(GaugeWidget *gauge, double value, const QString &text, std::optional<quint32> color);
    // The ranges that follow the tune (the rev limit, the load axis).
    void fitTuneRanges();
    // Every gauge at rest with "--": no reading to show.
    void showNoReadings();

    const ProgramState &m_state;
    const DaqSettings &m_prefs;
    CVScalingCalculator m_calculator;
    QLabel *m_status = nullptr;
    QGridLayout *m_grid = nullptr;
    QMap<QString, GaugeWidget *> m_gauges;
    QStringList m_order;
    QStringList m_inputs; // keys of the input gauges, in sample order
    std::optional<AcquisitionSample> m_pending;
    QTimer *m_frame = nullptr;
    int m_applies = 0;
};
