#include "platform/ui/QtMessageBoxService.h"

#include <QAbstractButton>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace {

void prepare(QMessageBox &box, const QString &text, MsgIcon icon)
{
    box.setWindowTitle(QStringLiteral("Vantrelle"));
    box.setText(text);
    switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
}

} // namespace

MsgAnswer QtMessageBoxService::show(QWidget *parent, const QString &text, MsgIcon icon, MsgButtons buttons)
{
    return showDetailed(parent, text, QString(), icon, buttons);
}

MsgAnswer QtMessageBoxService::showDetailed(QWidget *parent, const QString &text, const QString &details,
                                            MsgIcon icon, MsgButtons buttons)
{
    QMessageBox box(parent);
    prepare(box, text, icon);
    switch (buttons) {
    case MsgButtons::OK: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::OKCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        break;
    }
    if (!details.isEmpty()) {
        box.setDetailedText(details);
        // Opened at once: the details are what the question is about (the
        // only button in the action role is "Show Details...").
        for (QAbstractButton *b : box.buttons())
            if (box.buttonRole(b) == QMessageBox::ActionRole)
                b->click();
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    case QMessageBox::Ok: return MsgAnswer::OK;
    default:
        // Closing a question box with the window's close button is a No
        // (or a Cancel where Cancel is offered), never a Yes.
        if (buttons == MsgButtons::YesNoCancel || buttons == MsgButtons::OKCancel) return MsgAnswer::Cancel;
        if (buttons == MsgButtons::YesNo) return MsgAnswer::No;
        return MsgAnswer::OK;
    }
}

int QtMessageBoxService::choose(QWidget *parent, const QString &text, MsgIcon icon, const QStringList &buttons,
                                int escapeIndex)
{
    QMessageBox box(parent);
    prepare(box, text, icon);
    QList<QPushButton *> pushed;
    for (int i = 0; i < buttons.size(); ++i)
        pushed << box.addButton(buttons[i], i == escapeIndex ? QMessageBox::RejectRole : QMessageBox::ActionRole);
    if (escapeIndex >= 0 && escapeIndex < pushed.size())
        box.setEscapeButton(pushed[escapeIndex]);
    box.exec();
    const int chosen = static_cast<int>(pushed.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
    return chosen >= 0 ? chosen : escapeIndex;
}

std::optional<QString> QtMessageBoxService::askText(QWidget *parent, const QString &title, const QString &label)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text;
}
