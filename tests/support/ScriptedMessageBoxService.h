#pragma once

#include "platform/MessageBoxService.h"

#include <deque>
#include <vector>

// Records every message and answers from a script: queued answers first, then
// the default answer (Yes for questions, Cancel for a warning whose default it
// is, OK otherwise). A choice
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
    // The next queued text; cancelled when none is queued.
    std::optional<QString> askText(QWidget *parent, const QString &title, const QString &label) override;

    void queue(MsgAnswer answer) { m_answers.push_back(answer); }
    void queueChoice(int index) { m_choices.push_back(index); }
    void queueText(const QString &text) { m_texts.push_back(text); }

    const std::vector<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
        m_choices.clear();
        m_texts.clear();
    }

private:
    std::vector<Shown> m_shown;
    std::deque<MsgAnswer> m_answers;
    std::deque<int> m_choices;
    std::deque<QString> m_texts;
};
