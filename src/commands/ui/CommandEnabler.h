#pragma once

#include "commands/CommandEnabling.h"

#include <QObject>
#include <functional>
#include <map>
#include <vector>

class QAction;

// Applies EnabledCommandsFor to the menu items and buttons the features
// registered: the one place where their availability is set. Refresh() reads
// the states through the function it was given; the composition root calls
// it whenever an owner of one of those states signals a change.
class CommandEnabler : public QObject
{
    Q_OBJECT
public:
    explicit CommandEnabler(std::function<CommandStates()> states, QObject *parent = nullptr)
        : QObject(parent), m_states(std::move(states))
    {
    }

    // The action follows the command from the next Refresh on.
    void Register(Command command, QAction *action);
    void Refresh();

    CommandStates States() const { return m_states(); }

private:
    std::function<CommandStates()> m_states;
    std::multimap<Command, QAction *> m_actions;
};
