#pragma once

#include <QFont>
#include <functional>
#include <optional>

class EditorSettings;
class QWidget;

// The map grid's font, kept in the preferences as a face name, a whole point
// size, bold and italic.
namespace GridFont {

// Asks the user for a font, starting from initial; nothing on Cancel.
using FontPicker = std::function<std::optional<QFont>(QWidget *parent, const QFont &initial)>;

// The system font dialog.
FontPicker SystemFontPicker();

// The font the preferences describe. A stored size outside 1..144 points
// gives the default size 8.
QFont FromPrefs(const EditorSettings &prefs);
// Stores a font: its face, its size rounded to a whole number (kept as it was
// when the font has no point size), bold and italic.
void Store(EditorSettings &prefs, const QFont &font);

// Opens the picker preset with the preferences' font; on OK stores the
// choice and returns true, on Cancel changes nothing and returns false.
bool Choose(QWidget *parent, EditorSettings &prefs, const FontPicker &pick);

} // namespace GridFont
