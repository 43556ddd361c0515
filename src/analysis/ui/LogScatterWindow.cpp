#include "analysis/ui/LogScatterWindow.h"

#include "analysis/CursorWindow.h"
#include "analysis/ui/DatalogViewer.h"
#include "daq/GeneralText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int LeftMargin = 56;
constexpr int BottomMargin = 36;
constexpr int Margin = 10;
constexpr int RightMargin = 28; // room for half the last tick's label
constexpr int Dot = 3;          // a point's side in pixels

// Blue for the low end, through green, to red for the high end.
QRgb colourAt(float place)
{
    if (place < 0)
        return qRgb(128, 128, 128);
    const float p = std::clamp(place, 0.0f, 1.0f);
    const auto c = [](float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); };
    return qRgb(c(2 * p - 1), c(1 - std::fabs(2 * p - 1)), c(1 - 2 * p));
}

QString tickText(double v, double step)
{
    // Round values print without the float's noise.
    return vnt::GeneralText(static_cast<float>(std::round(v / step) * step));
}

int pickColumn(const DataLog &log, std::initializer_list<const char *> names, int fallback)
{
    for (const char *name : names)
        for (int c = 0; c < log.columnCount(); ++c)
            if (log.names[c].contains(QLatin1String(name), Qt::CaseInsensitive))
                return c;
    return std::min(fallback, log.columnCount() - 1);
}

} // namespace

ScatterCanvas::ScatterCanvas(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("scatterCanvas"));
    setMinimumSize(240, 180);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

QRect ScatterCanvas::plotRect() const
{
    return rect().adjusted(LeftMargin, Margin, -RightMargin, -BottomMargin);
}

QSize ScatterCanvas::plotSize() const
{
    return plotRect().size().expandedTo(QSize(1, 1));
}

void ScatterCanvas::setImage(ScatterPoints::Image image, const QString &xName, const QString &yName)
{
    m_image = std::move(image);
    m_xName = xName;
    m_yName = yName;
    m_pixels = QImage(m_image.width, m_image.height, QImage::Format_ARGB32);
    m_pixels.fill(Qt::transparent);
    // Each point a small square, drawn in the order of the rows.
    for (int y = 0; y < m_image.height; ++y) {
        const float *values = m_image.colour.data() + static_cast<std::size_t>(y) * m_image.width;
        for (int x = 0; x < m_image.width; ++x) {
            if (std::isnan(values[x]))
                continue;
            const QRgb c = colourAt(values[x]);
            for (int dy = -(Dot / 2); dy <= Dot / 2; ++dy)
                for (int dx = -(Dot / 2); dx <= Dot / 2; ++dx)
                    if (m_pixels.valid(x + dx, y + dy))
                        m_pixels.setPixel(x + dx, y + dy, c);
        }
    }
    update();
}

void ScatterCanvas::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    emit resized();
}

void ScatterCanvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect area = plotRect();
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(area.adjusted(0, 0, -1, -1));
    if (m_image.points == 0) {
        p.setPen(palette().color(QPalette::Text));
        p.drawText(area, Qt::AlignCenter, QStringLiteral("No points to show."));
        return;
    }
    p.drawImage(area.topLeft(), m_pixels);
    const ScatterPoints::Scale &sx = m_image.x, &sy = m_image.y;
    const QFontMetrics fm = p.fontMetrics();
    p.setPen(palette().color(QPalette::Text));
    for (double v = sx.low; v <= sx.high + sx.step / 2; v += sx.step) {
        const double place = (v - sx.low) / (sx.high - sx.low);
        const int x = area.left() + static_cast<int>(std::lround(place * (area.width() - 1)));
        p.drawLine(x, area.bottom(), x, area.bottom() + 4);
        const QString t = tickText(v, sx.step);
        p.drawText(x - fm.horizontalAdvance(t) / 2, area.bottom() + 4 + fm.ascent(), t);
    }
    for (double v = sy.low; v <= sy.high + sy.step / 2; v += sy.step) {
        const double place = (v - sy.low) / (sy.high - sy.low);
        const int y = area.bottom() - static_cast<int>(std::lround(place * (area.height() - 1)));
        p.drawLine(area.left() - 4, y, area.left(), y);
        const QString t = tickText(v, sy.step);
        p.drawText(area.left() - 6 - fm.horizontalAdvance(t), y + fm.ascent() / 2, t);
    }
    p.drawText(QRect(area.left(), height() - fm.height(), area.width(), fm.height()), Qt::AlignCenter, m_xName);
    p.save();
    p.translate(fm.height() / 2.0 + 1.0, area.center().y());
    p.rotate(-90);
    p.drawText(QRect(-area.height() / 2, -fm.height() / 2, area.height(), fm.height()), Qt::AlignCenter, m_yName);
    p.restore();
}

LogScatterWindow::LogScatterWindow(const DatalogViewer &viewer, QWidget *parent)
    : QWidget(parent, Qt::Window), m_viewer(viewer)
{
    setObjectName(QStringLiteral("LogScatterWindow"));
    setWindowTitle(QStringLiteral("X-Y Scatter"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_x = new QComboBox(this);
    m_x->setObjectName(QStringLiteral("comboScatterX"));
    m_y = new QComboBox(this);
    m_y->setObjectName(QStringLiteral("comboScatterY"));
    m_colour = new QComboBox(this);
    m_colour->setObjectName(QStringLiteral("comboScatterColour"));
    m_colour->addItem(QStringLiteral("Time"), ScatterPoints::ByTime);
    const DataLog &log = viewer.log();
    for (int c = 0; c < log.columnCount(); ++c) {
        m_x->addItem(log.names[c], c);
        m_y->addItem(log.names[c], c);
        m_colour->addItem(log.names[c], c);
    }
    // The usual question: the ratio against engine speed.
    m_x->setCurrentIndex(pickColumn(log, {"RPM"}, 0));
    m_y->setCurrentIndex(pickColumn(log, {"AFR", "LAMBDA", "WIDEBAND", "O2"}, 1));
    form->addRow(QStringLiteral("X:"), m_x);
    form->addRow(QStringLiteral("Y:"), m_y);
    form->addRow(QStringLiteral("Colour by:"), m_colour);
    layout->addLayout(form);
    m_window = new QCheckBox(QStringLiteral("Only the samples between the viewer's cursors A and B"), this);
    m_window->setObjectName(QStringLiteral("checkScatterWindow"));
    m_window->setChecked(viewer.selectedWindow().has_value());
    layout->addWidget(m_window);
    m_canvas = new ScatterCanvas(this);
    layout->addWidget(m_canvas, 1);
    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("lblScatterInfo"));
    layout->addWidget(m_info);

    for (QComboBox *combo : {m_x, m_y, m_colour})
        connect(combo, &QComboBox::currentIndexChanged, this, &LogScatterWindow::redraw);
    connect(m_window, &QCheckBox::toggled, this, &LogScatterWindow::redraw);
    connect(m_canvas, &ScatterCanvas::resized, this, &LogScatterWindow::redraw);
    connect(&viewer, &DatalogViewer::marksChanged, this, [this] {
        if (m_window->isChecked())
            redraw();
    });
    resize(640, 520);
    redraw();
}

void LogScatterWindow::redraw()
{
    const DataLog &log = m_viewer.log();
    CursorWindow::Rows rows{0, log.rowCount()};
    const auto window = m_viewer.selectedWindow();
    if (m_window->isChecked() && window)
        rows = CursorWindow::RowsWithin(log, window->first, window->second);
    const QSize size = m_canvas->plotSize();
    ScatterPoints::Image image = ScatterPoints::Bin(log, m_x->currentData().toInt(), m_y->currentData().toInt(),
                                                    m_colour->currentData().toInt(), rows.first, rows.end,
                                                    size.width(), size.height());
    m_info->setText(QStringLiteral("%1 points%2; %3 without X or Y. Colour: %4 from %5 (blue) to %6 (red).")
                        .arg(image.points)
                        .arg(m_window->isChecked() && window ? QStringLiteral(" between A and B") : QString())
                        .arg(image.skipped)
                        .arg(m_colour->currentText(), vnt::GeneralText(static_cast<float>(image.colourLow)),
                             vnt::GeneralText(static_cast<float>(image.colourHigh))));
    m_canvas->setImage(std::move(image), m_x->currentText(), m_y->currentText());
}
