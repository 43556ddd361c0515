#pragma once

#include <QStatusBar>

// The status bar whose passing message stays readable when it is longer
// than the room the panels leave: it is shortened in the middle, so what
// happened (the start) and which file (the end) both show, and the whole
// text is the bar's tooltip while it is cut. The panels keep their places;
// nothing is drawn under them.
class MessageStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit MessageStatusBar(QWidget *parent = nullptr);

    // The message as it is drawn at the present width; empty without one.
    QString ShownMessage() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QRect messageArea() const;
    void fitToolTip();
};
