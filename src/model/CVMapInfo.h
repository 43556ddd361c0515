#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

// One map of the tune: an image range (16 x 16 body or 16-entry axis) and its
// raw byte entries. What the real-time trace has marked on a map is kept
// apart, in TraceMarks, so that copies of a tune (undo steps, a compared tune)
// carry contents only.
//
// Entries are raw bytes; conversions for display live in the editors. An index
// outside 0..EndOffset-StartOffset or a value outside 0..255 is reported
// through the return value and changes nothing.
class CVMapInfo
{
public:
    CVMapInfo() = default;
    CVMapInfo(int startOffset, int endOffset) { Initialize(startOffset, endOffset); }

    void Initialize(int startOffset, int endOffset);

    // Entry Index, 0 to 255; -1 for an index outside the map.
    int MapValue(int index) const;
    // Stores value into entry Index; false (and nothing stored) when the index
    // lies outside the map or the value outside 0..255.
    bool SetMapValue(int index, int value);

    int NumRows() const { return m_numRows; }
    int NumCols() const { return m_numCols; }
    int StartOffset() const { return m_startOffset; }
    int EndOffset() const { return m_endOffset; }
    int EntryCount() const { return static_cast<int>(m_values.size()); }

    // Stores every byte of a received reply except its last (the checksum):
    // a 257-byte reply fills entries 0..255. Bytes beyond the map are dropped.
    void SetMap(const QByteArray &block);

    // Index of the axis entry nearest to value; ties go to the lower index and
    // the first bracketing pair wins. Meant for ascending axis maps.
    int FindClosestMapIndex(int value) const;

    // All entries as raw bytes, entry 0 first.
    QByteArray Bytes() const;
    bool operator==(const CVMapInfo &other) const = default;

private:
    bool inRange(int index) const { return index >= 0 && index < EntryCount(); }

    int m_startOffset = 0;
    int m_endOffset = -1;
    int m_numCols = 16;
    int m_numRows = 16;
    std::vector<std::uint8_t> m_values;
};
