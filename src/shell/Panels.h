#pragma once

#include <array>

class QWidget;
struct AcquisitionSample;

// Panel indexes of the main window: which panel it shows. 7..12 are the six
// map bodies, all shown by the one fuel and timing grid panel; 6 is reserved
// and 0 and 1 have no panel object.
namespace PanelIndex {
inline constexpr int None = 0;
inline constexpr int GlobalNone = 1;
inline constexpr int General = 2;
inline constexpr int Injector = 3;
inline constexpr int TTPMaps = 4;
inline constexpr int IgnitionDuty = 5;
inline constexpr int Reserved = 6;
inline constexpr int HOFM = 7;
inline constexpr int HOHGFM = 8;
inline constexpr int LOFM = 9;
inline constexpr int LOHGFM = 10;
inline constexpr int HOTM = 11;
inline constexpr int LOTM = 12;
inline constexpr int VQ = 13;
inline constexpr int DAQ = 14;
inline constexpr int Count = 15;
} // namespace PanelIndex

// What the main window asks of every panel: the panel's widget, to place in
// its container, and UpdateData, which refills the panel from the tune (run on
// every selection of the panel).
class TunePanel
{
public:
    virtual ~TunePanel() = default;
    virtual QWidget *widget() = 0;
    virtual void UpdateData() = 0;
};

// A panel that marks what the running engine uses (the map grid and the
// small table panels).
class TracingPanel : public TunePanel
{
public:
    // Marks what one acquisition sample traced: the grid the cell of the map
    // on screen, the table panels their entries. A sample of a failed tick
    // changes nothing.
    virtual void ShowTrace(const AcquisitionSample &sample) = 0;
    // Takes away the panel's trace marks.
    virtual void ClearRTState() = 0;
};

// The fuel and timing map grid.
class GridPanel : public TracingPanel
{
public:
    // Refills the grid from the tune.
    virtual void PopGrid() = 0;
    // Applies the grid font preferences.
    virtual void UpdateGridFont() = 0;
};

// The main window's panel table, indexes 0..14. Entries are not owned; 7..12
// all refer to the one grid panel. Calls on an empty entry do nothing.
class PanelTable
{
public:
    void Set(int index, TunePanel *panel)
    {
        if (valid(index))
            m_panels[index] = panel;
    }
    void Clear() { m_panels.fill(nullptr); }

    TunePanel *At(int index) const { return valid(index) ? m_panels[index] : nullptr; }
    TracingPanel *Tracing(int index) const { return dynamic_cast<TracingPanel *>(At(index)); }
    GridPanel *Grid(int index) const { return dynamic_cast<GridPanel *>(At(index)); }

    void UpdateData(int index) const
    {
        if (TunePanel *p = At(index))
            p->UpdateData();
    }
    void ClearRTState(int index) const
    {
        if (TracingPanel *p = Tracing(index))
            p->ClearRTState();
    }

private:
    static bool valid(int index) { return index >= 0 && index < PanelIndex::Count; }
    std::array<TunePanel *, PanelIndex::Count> m_panels{};
};
