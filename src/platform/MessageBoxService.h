#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

enum class MsgIcon { None, Critical, Exclamation, Question, Information };
// OKCancel: a warning whose safe answer, Cancel, is the default.
enum class MsgButtons { OK, YesNo, YesNoCancel, OKCancel };
enum class MsgAnswer { OK, Yes, No, Cancel };

// Every message box of the program goes through one service, titled
// "Vantrelle", so that each flow can be driven and checked in tests.
class MessageBoxService
{
public:
    virtual ~MessageBoxService() = default;
    virtual MsgAnswer show(QWidget *parent, const QString &text, MsgIcon icon,
                           MsgButtons buttons = MsgButtons::OK) = 0;
    // The same with details below the text (what a command is about to do);
    // a service without room for them shows the text alone.
    virtual MsgAnswer showDetailed(QWidget *parent, const QString &text, const QString &details, MsgIcon icon,
                                   MsgButtons buttons)
    {
        Q_UNUSED(details);
        return show(parent, text, icon, buttons);
    }
    // A question whose buttons carry captions of their own: the index of the
    // button chosen, or escapeIndex when the box is closed or Escape is
    // pressed (a service that cannot ask answers escapeIndex too).
    virtual int choose(QWidget *parent, const QString &text, MsgIcon icon, const QStringList &buttons,
                       int escapeIndex)
    {
        (void)parent, (void)text, (void)icon, (void)buttons;
        return escapeIndex;
    }

    // A line of text typed in answer to label, under the title; nothing when
    // the user cancels (a service that cannot ask answers nothing).
    virtual std::optional<QString> askText(QWidget *parent, const QString &title, const QString &label)
    {
        (void)parent, (void)title, (void)label;
        return std::nullopt;
    }

    MsgAnswer info(QWidget *parent, const QString &text) { return show(parent, text, MsgIcon::Information); }
    MsgAnswer critical(QWidget *parent, const QString &text) { return show(parent, text, MsgIcon::Critical); }
    MsgAnswer exclamation(QWidget *parent, const QString &text) { return show(parent, text, MsgIcon::Exclamation); }
    MsgAnswer plain(QWidget *parent, const QString &text) { return show(parent, text, MsgIcon::None); }
    bool askYesNo(QWidget *parent, const QString &text)
    {
        return show(parent, text, MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
    }
    bool askYesNo(QWidget *parent, const QString &text, const QString &details)
    {
        return showDetailed(parent, text, details, MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
    }
};
