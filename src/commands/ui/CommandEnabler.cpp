#include "commands/ui/CommandEnabler.h"

#include <QAction>

void CommandEnabler::Register(Command command, QAction *action)
{
    m_actions.emplace(command, action);
    // An action that goes away (its menu closed for good) is forgotten.
    connect(action, &QObject::destroyed, this, [this, action] {
        for (auto it = m_actions.begin(); it != m_actions.end();)
            it = it->second == action ? m_actions.erase(it) : std::next(it);
    });
}

void CommandEnabler::Refresh()
{
    const EnabledCommands on = EnabledCommandsFor(m_states());
    for (const auto &[command, action] : m_actions)
        action->setEnabled(on[command]);
}
