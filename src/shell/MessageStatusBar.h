#pragma once

#include <QStatusBar>

// The status bar whose passing message stays readable when it is longer
// than the room the panels leave: it is shortened in the middle, so what
// happened (the start) and which file (the end) both show, and the whole
// text shows as a tooltip over it while it is cut. The panels keep their
// places; nothing is drawn under them.
class MessageStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    explicit MessageStatusBar(QWidget *parent = nullptr);

    // The message as it is drawn at the present width; empty without one.
    QString ShownMessage() const;
    // The whole message while it is cut, for its tooltip; empty otherwise.
    QString CutMessage() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QRect messageArea() const;
};
