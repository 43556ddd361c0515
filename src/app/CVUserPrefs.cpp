#include "app/CVUserPrefs.h"

#include "platform/SettingsStore.h"

CVUserPrefs::CVUserPrefs(SettingsStore &store)
    : window(store), link(store), editor(store), daq(store), m_store(store)
{
}

CVUserPrefs::~CVUserPrefs()
{
    Save();
}

void CVUserPrefs::Save()
{
    window.Save();
    link.Save();
    editor.Save();
    daq.Save();
    m_store.Flush();
}
