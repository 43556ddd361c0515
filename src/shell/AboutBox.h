#pragma once

#include <QDialog>

class MessageBoxService;

// The about box: title, version of the running program, and a way to the
// machine's system-information tool.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    AboutBox(MessageBoxService &messages, QWidget *parent = nullptr);

    static QString VersionText();
    // The first system-information program found on this machine, or empty.
    static QString FindSystemInfoTool();

public slots:
    void cmdSysInfo_Click();

private:
    MessageBoxService &m_messages;
};
