#pragma once

#include <QString>
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
};

// Records every message and answers from a script: queued answers first, then
// the default answer (Yes for questions, OK otherwise, unless set).
class ScriptedMessageBoxService : public MessageBoxService
{
public:
    struct Shown
    {
        QString text;
        MsgIcon icon;
        MsgButtons buttons;
        QString details;
    };

    MsgAnswer show(QWidget *parent, const QString &text, MsgIcon icon, MsgButtons buttons) override;
    MsgAnswer showDetailed(QWidget *parent, const QString &text, const QString &details, MsgIcon icon,
                           MsgButtons buttons) override;

    void queue(MsgAnswer answer) { m_answers.push_back(answer); }
    void setDefaultAnswer(MsgAnswer answer) { m_default = answer; m_hasDefault = true; }

    const std::vector<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    void clear() { m_shown.clear(); m_answers.clear(); }

private:
    std::vector<Shown> m_shown;
    std::deque<MsgAnswer> m_answers;
    MsgAnswer m_default = MsgAnswer::OK;
    bool m_hasDefault = false;
};
