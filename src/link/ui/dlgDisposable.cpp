#include "link/ui/dlgDisposable.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

dlgDisposable::dlgDisposable(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgDisposable"));
    setWindowTitle(QStringLiteral("Vantrelle"));
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("lblText"));
    m_label->setWordWrap(true);
    m_check = new QCheckBox(QStringLiteral("Don't show this dialog again"), this);
    m_check->setObjectName(QStringLiteral("checkDispose"));
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        m_dispose = m_check->isChecked();
        accept();
    });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_check);
    layout->addLayout(buttons);
}

void dlgDisposable::SetText(const QString &text)
{
    m_text = text;
    m_label->setText(text);
}
