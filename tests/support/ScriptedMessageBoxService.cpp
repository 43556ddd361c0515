#include "support/ScriptedMessageBoxService.h"

#include <QStringList>

MsgAnswer ScriptedMessageBoxService::show(QWidget *parent, const QString &text, MsgIcon icon, MsgButtons buttons)
{
    return showDetailed(parent, text, QString(), icon, buttons);
}

MsgAnswer ScriptedMessageBoxService::showDetailed(QWidget *, const QString &text, const QString &details,
                                                  MsgIcon icon, MsgButtons buttons)
{
    m_shown.push_back({text, icon, buttons, details, {}});
    if (!m_answers.empty()) {
        const MsgAnswer a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    if (buttons == MsgButtons::OKCancel)
        return MsgAnswer::Cancel; // the default button
    return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Yes;
}

int ScriptedMessageBoxService::choose(QWidget *, const QString &text, MsgIcon icon, const QStringList &buttons,
                                      int escapeIndex)
{
    m_shown.push_back({text, icon, MsgButtons::OK, {}, buttons});
    if (m_choices.empty())
        return escapeIndex;
    const int chosen = m_choices.front();
    m_choices.pop_front();
    return chosen;
}

std::optional<QString> ScriptedMessageBoxService::askText(QWidget *, const QString &title, const QString &label)
{
    m_shown.push_back({title + QLatin1Char('\n') + label, MsgIcon::Question, MsgButtons::OK, {}, {}});
    if (m_texts.empty())
        return std::nullopt;
    const QString text = m_texts.front();
    m_texts.pop_front();
    return text;
}

QStringList ScriptedMessageBoxService::texts() const
{
    QStringList out;
    for (const Shown &s : m_shown)
        out << s.text;
    return out;
}
