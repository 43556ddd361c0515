#pragma once

#include "daq/RealTimeStripText.h"

#include <QWidget>
#include <array>
#include <vector>

class QLabel;

// The widgets of the real-time strip (picRealTime's content): the status,
// RPM, TP, MAS, injector and staged rev limit labels with their captions, and
// the 28 input rows (lblInput, lblValue, picDigitalOn0, picDigitalOff0 of
// index 0..27, named "lblInput_3" and so on). Show() paints a RealTimeStrip,
// touching only the controls whose text, colour or visibility changed, so a
// tick costs little however many rows are in use.
//
// The labels flow: the status, speed, load and injector pairs fill a line
// and go on to the next where the strip is too narrow, and so do the input
// columns (four rows each). No label is ever narrower than its text or over
// another; the strip asks for the height its lines need at its width
// (heightForWidth), and asks its window to lay it out again when that
// changes.
class RealTimeStripView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int RowsPerColumn = 4;

    explicit RealTimeStripView(QWidget *parent = nullptr);

    void Show(const RealTimeStrip &strip);
    // How the run keeps up (AcquisitionHealth::Text).
    void ShowHealth(const QString &text);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QLabel *label(const QString &name) const;
    QLabel *inputLabel(int row) const { return m_rows[static_cast<std::size_t>(row)].name; }
    QLabel *valueLabel(int row) const { return m_rows[static_cast<std::size_t>(row)].value; }
    QLabel *onPicture(int row) const { return m_rows[static_cast<std::size_t>(row)].on; }
    QLabel *offPicture(int row) const { return m_rows[static_cast<std::size_t>(row)].off; }

    // 0x00BBGGRR as a colour, and a label's text colour as 0x00BBGGRR.
    static QColor ToQColor(quint32 value);
    static quint32 TextColorOf(const QLabel *label);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Lays the labels out for width; with apply false only measures.
    // Returns the height needed.
    int arrange(int width, bool apply) const;
    // After a change of what is shown: lays out again and, when the height
    // needed changed, tells the window.
    void relayout();

    struct Row
    {
        QLabel *name = nullptr;
        QLabel *value = nullptr;
        QLabel *on = nullptr;
        QLabel *off = nullptr;
        RealTimeStripRow::Kind kind = RealTimeStripRow::Kind::Hidden;
        bool high = false;
        std::optional<quint32> color;
    };

    QLabel *m_status = nullptr;
    QLabel *m_rpm = nullptr;
    QLabel *m_tp = nullptr;
    QLabel *m_mas = nullptr;
    QLabel *m_injPW = nullptr;
    QLabel *m_injDuty = nullptr;
    QLabel *m_revLimitCaption = nullptr;
    QLabel *m_revLimitValue = nullptr;
    QLabel *m_health = nullptr;
    std::optional<quint32> m_masColor;
    bool m_revLimitVisible = true;
    int m_heightNeeded = -1;
    struct Pair
    {
        QLabel *caption = nullptr;
        QLabel *value = nullptr;
        int reserve = 0; // width kept for the value whatever its text
    };
    std::vector<Pair> m_pairs;
    std::array<Row, RealTimeStrip::RowCount> m_rows;
};
