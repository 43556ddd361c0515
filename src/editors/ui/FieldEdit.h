#pragma once

#include <QLineEdit>
#include <functional>

// A text box whose value is checked when the user presses Enter and when the
// focus is about to move to another control of the window. A check that
// fails keeps (or takes back) the focus, so the user corrects the value or
// restores it before moving on. Focus lost to another window, a menu or a
// message box does not check, and neither does a box that is hidden.
class FieldEdit : public QLineEdit
{
    Q_OBJECT
public:
    // Returns false to keep the focus in the box.
    using Validation = std::function<bool()>;

    explicit FieldEdit(QWidget *parent = nullptr);

    void setValidation(Validation validation) { m_validation = std::move(validation); }
    // Runs the check now; false when it failed (the box then takes the focus).
    bool validate();

signals:
    void escapePressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    Validation m_validation;
    bool m_validating = false;
};
