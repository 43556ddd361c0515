#include "shell/AboutBox.h"

#include "platform/MessageBoxService.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

AboutBox::AboutBox(MessageBoxService &messages, QWidget *parent) : QDialog(parent), m_messages(messages)
{
    setObjectName("AboutBox");
    setWindowTitle("About Vantrelle");
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *icon = new QLabel;
    icon->setPixmap(QIcon(":/icons/RealTimeSetup.xpm").pixmap(48, 48));
    top->addWidget(icon);
    auto *text = new QVBoxLayout;
    auto *title = new QLabel("Vantrelle");
    title->setObjectName("lblTitle");
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    title->setFont(f);
    text->addWidget(title);
    auto *version = new QLabel(VersionText());
    version->setObjectName("lblVersion");
    text->addWidget(version);
    text->addWidget(new QLabel("Tuning software for the Vantrelle calibration emulator."));
    top->addLayout(text);
    layout->addLayout(top);

    auto *buttons = new QDialogButtonBox;
    QPushButton *ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("cmdOK");
    QPushButton *sysInfo = buttons->addButton("&System Info...", QDialogButtonBox::ActionRole);
    sysInfo->setObjectName("cmdSysInfo");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, &AboutBox::cmdSysInfo_Click);
    layout->addWidget(buttons);
}

QString AboutBox::VersionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(VANTRELLE_VERSION_MAJOR)
        .arg(VANTRELLE_VERSION_MINOR)
        .arg(VANTRELLE_VERSION_PATCH);
}

QString AboutBox::FindSystemInfoTool()
{
    for (const char *name : {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor", "xfce4-taskmanager"}) {
        QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

void AboutBox::cmdSysInfo_Click()
{
    const QString tool = FindSystemInfoTool();
    if (tool.isEmpty() || !QProcess::startDetached(tool, {})) {
        m_messages.plain(this, "System Information Is Unavailable At This Time");
    }
}
