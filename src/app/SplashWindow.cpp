#include "app/SplashWindow.h"

#include <QLinearGradient>
#include <QPainter>

// Not kept on top: the agreement opens over the splash as its child, and a
// window manager keeps a stays-on-top window above any later dialog.
SplashWindow::SplashWindow(QWidget *parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName("SplashWindow");
    setFixedSize(420, 220);
}

void SplashWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(20, 30, 60));
    sky.setColorAt(1, QColor(120, 20, 20));
    p.fillRect(rect(), sky);
    p.setPen(QColor(240, 240, 240));
    QFont title = font();
    title.setPointSize(32);
    title.setBold(true);
    p.setFont(title);
    p.drawText(rect().adjusted(0, 0, 0, -50), Qt::AlignCenter, "Vantrelle");
    QFont small = font();
    small.setPointSize(10);
    p.setFont(small);
    p.drawText(rect().adjusted(0, 90, 0, 0), Qt::AlignCenter, "Engine calibration emulator tuning");
    p.setPen(QColor(0, 192, 0));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
