#pragma once

#include <QDialog>

class MessageBoxService;
class QLineEdit;
class QPlainTextEdit;

// The agreement shown at start-up until the user has accepted it once.
// Accepting takes exactly "YES" typed into the answer box.
class dlgEULA : public QDialog
{
    Q_OBJECT
public:
    dlgEULA(MessageBoxService &messages, QWidget *parent = nullptr);

    bool Accepted() const { return m_accepted; }
    static QString AgreementText();

    QLineEdit *editResponse() const { return m_editResponse; }

public slots:
    void OKButton_Click();

private:
    MessageBoxService &m_messages;
    QPlainTextEdit *m_editEULA = nullptr;
    QLineEdit *m_editResponse = nullptr;
    bool m_accepted = false;
};
