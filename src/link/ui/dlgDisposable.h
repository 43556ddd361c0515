#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;

// A message the user can opt out of: caption "Vantrelle", the text, a
// "Don't show this dialog again" check box and OK. The caller sets Text
// before showing it and reads Dispose afterwards.
class dlgDisposable : public QDialog
{
    Q_OBJECT
public:
    explicit dlgDisposable(QWidget *parent = nullptr);

    void SetText(const QString &text);
    QString Text() const { return m_text; }
    // The check box's state when OK was pressed; false until then.
    bool Dispose() const { return m_dispose; }

private:
    QString m_text;
    bool m_dispose = false;
    QLabel *m_label;
    QCheckBox *m_check;
};
