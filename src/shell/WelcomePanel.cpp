#include "shell/WelcomePanel.h"

#include <QCommandLinkButton>
#include <QLabel>
#include <QVBoxLayout>

WelcomePanel::WelcomePanel(QWidget *parent) : QWidget(parent)
{
    setObjectName("welcome");
    auto *outer = new QVBoxLayout(this);
    outer->addStretch(1);
    auto *heading = new QLabel("No tune is loaded yet.");
    QFont big = heading->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    heading->setFont(big);
    outer->addWidget(heading, 0, Qt::AlignHCenter);
    outer->addWidget(new QLabel("Start from one of these:"), 0, Qt::AlignHCenter);
    auto *column = new QWidget;
    m_ways = new QVBoxLayout(column);
    m_ways->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(column, 0, Qt::AlignHCenter);
    outer->addStretch(2);
}

void WelcomePanel::AddWay(const QString &objectName, const QString &text, const QString &description,
                          std::function<void()> go)
{
    auto *button = new QCommandLinkButton(text, description);
    button->setObjectName(objectName);
    // The description wraps to the button's width: room for it on one line.
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(description) + 6 * button->iconSize().width());
    m_ways->addWidget(button);
    connect(button, &QCommandLinkButton::clicked, this, [go = std::move(go)] { go(); });
}
