#pragma once

#include "platform/SettingsFields.h"

#include <QString>
#include <vector>

class SettingsStore;

// The map editors' preferences: the grid's font as a face name, a whole
// point size, bold and italic; and how the grid colours its cells (0 the
// loop colours, 1 the value scale; see CellColours). Loaded when created; Save writes them back
// (not flushed).
class EditorSettings
{
public:
    explicit EditorSettings(SettingsStore &store);
    EditorSettings(const EditorSettings &) = delete;
    EditorSettings &operator=(const EditorSettings &) = delete;

    void Save();

    QString GridFontName() const { return m_gridFontName; }
    void SetGridFontName(const QString &v) { m_gridFontName = v; }
    int GridFontSize() const { return m_gridFontSize; }
    void SetGridFontSize(int v) { m_gridFontSize = v; }
    bool GridFontBold() const { return m_gridFontBold; }
    void SetGridFontBold(bool v) { m_gridFontBold = v; }
    bool GridFontItalic() const { return m_gridFontItalic; }
    void SetGridFontItalic(bool v) { m_gridFontItalic = v; }

    int GridColourScheme() const { return m_gridColourScheme; }
    void SetGridColourScheme(int v) { m_gridColourScheme = v; }
    // With the value scale: colours spread over the shown map's own range.
    bool GridColourOwnRange() const { return m_gridColourOwnRange; }
    void SetGridColourOwnRange(bool v) { m_gridColourOwnRange = v; }

private:
    std::vector<SettingsFields::Field> fields();

    SettingsStore &m_store;
    QString m_gridFontName = QStringLiteral("MS Sans Serif");
    int m_gridFontSize = 8;
    bool m_gridFontBold = false;
    bool m_gridFontItalic = false;
    int m_gridColourScheme = 0;
    bool m_gridColourOwnRange = false;
};
