#pragma once

#include "daq/AcquisitionLoop.h"

#include <QWidget>
#include <array>

class QLabel;

// The widgets of the real-time strip (picRealTime's content): the status,
// RPM, TP, MAS, injector and staged rev limit labels with their captions, and
// the 28 input rows (lblInput, lblValue, picDigitalOn0, picDigitalOff0 of
// index 0..27, named "lblInput_3" and so on). Show() paints a RealTimeStrip,
// touching only the controls whose text, colour or visibility changed, so a
// tick costs little however many rows are in use.
class RealTimeStripView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int RowsPerColumn = 4;

    explicit RealTimeStripView(QWidget *parent = nullptr);

    void Show(const RealTimeStrip &strip);

    QLabel *label(const QString &name) const;
    QLabel *inputLabel(int row) const { return m_rows[static_cast<std::size_t>(row)].name; }
    QLabel *valueLabel(int row) const { return m_rows[static_cast<std::size_t>(row)].value; }
    QLabel *onPicture(int row) const { return m_rows[static_cast<std::size_t>(row)].on; }
    QLabel *offPicture(int row) const { return m_rows[static_cast<std::size_t>(row)].off; }

    // 0x00BBGGRR as a colour, and a label's text colour as 0x00BBGGRR.
    static QColor ToQColor(quint32 value);
    static quint32 TextColorOf(const QLabel *label);

private:
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
    std::optional<quint32> m_masColor;
    bool m_revLimitVisible = true;
    std::array<Row, RealTimeStrip::RowCount> m_rows;
};
