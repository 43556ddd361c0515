#pragma once

#include "gauges/GaugeScale.h"

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <optional>

// One gauge of the dashboard: a dial with a needle, a bar, or a lamp for a
// digital line. The face (outline, scale, ticks, threshold zones, title) is
// drawn once into a cached pixmap and redrawn only when the size, range or
// zones change; a reading paints the cached face, the needle or bar and the
// value text. A reading that changes nothing visible asks for no paint.
class GaugeWidget : public QWidget
{
    Q_OBJECT
public:
    enum class Style { Dial, Bar, Lamp };

    // Warning and critical marks on the scale (values above them).
    struct Zones
    {
        std::optional<double> warning;
        std::optional<double> critical;
        QColor warningColor;
        QColor criticalColor;
    };

    GaugeWidget(const QString &title, Style style, QWidget *parent = nullptr);

    QString title() const { return m_title; }
    // The title line as drawn in room pixels: the title shortens before the
    // scale's factor ("RPM  x1000") is dropped.
    QString titleText(int room) const;
    Style style() const { return m_style; }
    void setStyle(Style style);
    GaugeScale::Range range() const { return m_range; }
    void setRange(GaugeScale::Range range);
    void setZones(const Zones &zones);

    // Shows a reading; an invalid colour means the gauge's neutral colour.
    // True when the gauge looks different and will repaint.
    bool setReading(double value, const QString &text, const QColor &color = QColor());

    double value() const { return m_value; }
    QString valueText() const { return m_text; }
    // The colour the needle, bar or lamp and the value text are drawn in.
    QColor readingColor() const;
    static QColor NeutralColor() { return QColor(42, 111, 176); }

    // Paints so far, and the cached face's rebuilds (for measurements).
    int paintCount() const { return m_paints; }
    int faceBuilds() const { return m_faceBuilds; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // What a reading looks like, quantised to what the eye can see: the
    // needle in quarter degrees, the bar in pixels, the lamp on or off.
    int visibleStep(double value) const;
    void buildFace();
    QRectF dialRect() const;
    QRect barRect() const;
    QString tickText(double v) const;

    QString m_title;
    Style m_style;
    GaugeScale::Range m_range;
    Zones m_zones;
    double m_value = 0.0;
    QString m_text;
    QColor m_color;
    int m_step = 0;
    QPixmap m_face;
    bool m_faceValid = false;
    int m_paints = 0;
    int m_faceBuilds = 0;
};
