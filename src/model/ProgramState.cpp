#include "model/ProgramState.h"

void ProgramState::setFlags(bool modified, bool changesNotSent)
{
    if (modified == m_modified && changesNotSent == m_changesNotSent)
        return;
    m_modified = modified;
    m_changesNotSent = changesNotSent;
    emit flagsChanged();
}

void ProgramState::NoteEdit(const QString &step, bool sentToBox)
{
    setFlags(true, m_changesNotSent || !sentToBox);
    emit editNoted(step);
    emit contentsChanged();
}

void ProgramState::NoteNotSent()
{
    setFlags(m_modified, true);
}

void ProgramState::NoteSent()
{
    setFlags(m_modified, false);
}

void ProgramState::NoteReplaced()
{
    emit replaced();
    emit contentsChanged();
}

void ProgramState::NoteLoaded(const QString &originWarning)
{
    m_originWarning = originWarning;
    setFlags(false, m_changesNotSent);
    emit replaced();
    emit contentsChanged();
}

void ProgramState::NoteRecovered(bool modified, bool changesNotSent)
{
    m_originWarning.clear();
    setFlags(modified, changesNotSent);
    emit replaced();
    emit contentsChanged();
}

void ProgramState::NoteStepped()
{
    emit contentsChanged();
}

void ProgramState::NoteSaved()
{
    setFlags(false, m_changesNotSent);
    emit saved();
}

void ProgramState::NoteAtSavePoint(bool atSavePoint)
{
    setFlags(!atSavePoint, m_changesNotSent);
}

void ProgramState::Reset()
{
    setFlags(false, false);
}
