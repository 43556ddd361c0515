#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

class QWidget;

enum class MsgIcon { None, Critical, Exclamation, Question, Information };
enum class MsgButtons { OK, YesNo, YesNoCancel };
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

// Real message boxes.
class QtMessageBoxService : public MessageBoxService
{
public:
    MsgAnswer show(QWidget *parent, const QString &text, MsgIcon icon, MsgButtons buttons) override;
    // The details are shown opened.
    MsgAnswer showDetailed(QWidget *parent, const QString &text, const QString &details, MsgIcon icon,
                           MsgButtons buttons) override;
    int choose(QWidget *parent, const QString &text, MsgIcon icon, const QStringList &buttons,
               int escapeIndex) override;
};

// Records every message and answers from a script: queued answers first, then
// the default answer (Yes for questions, OK otherwise, unless set). A choice
// among captioned buttons takes the next queued choice, else its escape.
class ScriptedMessageBoxService : public MessageBoxService
{
public:
    struct Shown
    {
        QString text;
        MsgIcon icon;
        MsgButtons buttons;
        QString details;
        QStringList choices; // the captions of a choice
    };

    MsgAnswer show(QWidget *parent, const QString &text, MsgIcon icon, MsgButtons buttons) override;
    MsgAnswer showDetailed(QWidget *parent, const QString &text, const QString &details, MsgIcon icon,
                           MsgButtons buttons) override;
    int choose(QWidget *parent, const QString &text, MsgIcon icon, const QStringList &buttons,
               int escapeIndex) override;

    void queue(MsgAnswer answer) { m_answers.push_back(answer); }
    void queueChoice(int index) { m_choices.push_back(index); }
    void setDefaultAnswer(MsgAnswer answer) { m_default = answer; m_hasDefault = true; }

    const std::vector<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
        m_choices.clear();
    }

private:
    std::vector<Shown> m_shown;
    std::deque<MsgAnswer> m_answers;
    std::deque<int> m_choices;
    MsgAnswer m_default = MsgAnswer::OK;
    bool m_hasDefault = false;
};
