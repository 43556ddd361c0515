#pragma once

#include <QWidget>

// The start-up picture, shown until its 1500 ms timer fires.
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int DisplayMs = 1500;
    explicit SplashWindow(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
