#include "editors/ui/FieldEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

FieldEdit::FieldEdit(QWidget *parent)
    : QLineEdit(parent)
{
}

bool FieldEdit::validate()
{
    if (!m_validation || m_validating)
        return true;
    m_validating = true;
    const bool ok = m_validation();
    m_validating = false;
    if (!ok && isVisible() && !hasFocus())
        setFocus(Qt::OtherFocusReason);
    return ok;
}

void FieldEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        validate();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        emit escapePressed();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FieldEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    if (!isVisible() || m_validating || !m_validation)
        return;
    m_validating = true;
    const bool ok = m_validation();
    m_validating = false;
    if (!ok) {
        // Taking the focus back from inside the focus change would fight the
        // widget that is receiving it; do it once the change has settled.
        QPointer<FieldEdit> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self && self->isVisible())
                self->setFocus(Qt::OtherFocusReason);
        });
    }
}
