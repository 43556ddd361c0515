#include "shell/prefs/CVUserPrefs.h"

#include "shell/prefs/PrefKeys.h"

#include <limits>
#include <variant>

namespace {

// One stored scalar: where it lives, and the member that holds it. Integers
// carry the range a stored value must fall in to be taken; anything else
// (unreadable, not a number, out of range) leaves the default in place.
struct ScalarSetting
{
    const char *section;
    const char *key;
    std::variant<int CVUserPrefs::*, bool CVUserPrefs::*, QString CVUserPrefs::*> member;
    int min = std::numeric_limits<int>::min();
    int max = std::numeric_limits<int>::max();
};

} // namespace

// The stored scalars in the order they are loaded and saved. A friend of
// CVUserPrefs, so the table may name its private members.
struct CVUserPrefsTable
{
    static const std::vector<ScalarSetting> &settings()
    {
        using namespace PrefKeys;
        using P = CVUserPrefs;
        static const std::vector<ScalarSetting> table{
            {SettingsSection, MainLeft, &P::m_wndLeftPos},
            {SettingsSection, MainTop, &P::m_wndTopPos},
            {SettingsSection, MainWidth, &P::m_wndWidth},
            {SettingsSection, MainHeight, &P::m_wndHeight},
            {SettingsSection, SplitterX, &P::m_splitterX},
            {SettingsSection, COMPort, &P::m_comPort, 1, 8},
            {SettingsSection, PortName, &P::m_portName},
            {SettingsSection, ShowRTWarning, &P::m_showRTWarning},
            {SettingsSection, ShowEULADialog, &P::m_showEULADialog},
            {SettingsSection, HighlightMode, &P::m_highlightMode},
            {SettingsSection, DataLogFormat, &P::m_dataLogFormat},
            {LabJackSection, SampleRate, &P::m_daqSampleRate, 25, 2500},
            {LabJackSection, RPMMultiplier, &P::m_daqRPMMultiplier},
            {SettingsSection, GridFontName, &P::m_gridFontName},
            {SettingsSection, GridFontSize, &P::m_gridFontSize, 1, 999},
            {SettingsSection, GridFontBold, &P::m_gridFontBold},
            {SettingsSection, GridFontItalic, &P::m_gridFontItalic},
            {SettingsSection, StagedRevLimiterEnabled, &P::m_stagedRevLimiterEnabled},
            {SettingsSection, StagedRevLimiter, &P::m_stagedRevLimiter, 1, 255},
            {SettingsSection, StagedRevLimiterInput, &P::m_stagedRevLimiterInput},
        };
        return table;
    }
};

CVUserPrefs::CVUserPrefs(SettingsStore &store) : m_store(store)
{
    load();
}

CVUserPrefs::~CVUserPrefs()
{
    Save();
}

void CVUserPrefs::load()
{
    for (const ScalarSetting &s : CVUserPrefsTable::settings()) {
        QString text;
        if (m_store.ReadText(QLatin1String(s.section), QLatin1String(s.key), text) != SettingsStore::Ok)
            continue;
        if (auto intMember = std::get_if<int CVUserPrefs::*>(&s.member)) {
            bool ok = false;
            const int v = text.trimmed().toInt(&ok);
            if (ok && v >= s.min && v <= s.max)
                this->*(*intMember) = v;
        } else if (auto boolMember = std::get_if<bool CVUserPrefs::*>(&s.member)) {
            if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                this->*(*boolMember) = true;
            else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                this->*(*boolMember) = false;
        } else {
            this->*std::get<QString CVUserPrefs::*>(s.member) = text;
        }
    }
}

void CVUserPrefs::Save()
{
    for (const ScalarSetting &s : CVUserPrefsTable::settings()) {
        QString text;
        if (auto intMember = std::get_if<int CVUserPrefs::*>(&s.member))
            text = QString::number(this->*(*intMember));
        else if (auto boolMember = std::get_if<bool CVUserPrefs::*>(&s.member))
            text = this->*(*boolMember) ? QStringLiteral("True") : QStringLiteral("False");
        else
            text = this->*std::get<QString CVUserPrefs::*>(s.member);
        m_store.WriteText(QLatin1String(s.section), QLatin1String(s.key), text);
    }
    m_store.Flush();
}
