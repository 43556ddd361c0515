#pragma once

#include <QWidget>
#include <functional>

class QVBoxLayout;

// What the main window shows before there is a tune: the ways to get one,
// each a button that starts it. A first start opens on this rather than on
// an empty window.
class WelcomePanel : public QWidget
{
    Q_OBJECT
public:
    explicit WelcomePanel(QWidget *parent = nullptr);

    void AddWay(const QString &objectName, const QString &text, const QString &description,
                std::function<void()> go);

private:
    QVBoxLayout *m_ways = nullptr;
};
