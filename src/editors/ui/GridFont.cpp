#include "editors/ui/GridFont.h"

#include "platform/Rounding.h"
#include "editors/EditorSettings.h"

#include <QFontDialog>

#include <algorithm>

namespace GridFont {

namespace {
constexpr int DefaultSize = 8;
constexpr int MaxSize = 144;
} // namespace

FontPicker SystemFontPicker()
{
    return [](QWidget *parent, const QFont &initial) -> std::optional<QFont> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, parent,
                                                QStringLiteral("Set Fuel/Timing Grid Font"));
        if (!ok)
            return std::nullopt;
        return font;
    };
}

QFont FromPrefs(const EditorSettings &prefs)
{
    QFont font;
    if (!prefs.GridFontName().isEmpty())
        font.setFamily(prefs.GridFontName());
    const int size = prefs.GridFontSize();
    font.setPointSize(size >= 1 && size <= MaxSize ? size : DefaultSize);
    font.setBold(prefs.GridFontBold());
    font.setItalic(prefs.GridFontItalic());
    return font;
}

void Store(EditorSettings &prefs, const QFont &font)
{
    prefs.SetGridFontName(font.family());
    const double points = font.pointSizeF();
    if (points > 0 && points <= MaxSize)
        prefs.SetGridFontSize(std::max(1, static_cast<int>(vnt::RoundHalfEven(points))));
    prefs.SetGridFontBold(font.bold());
    prefs.SetGridFontItalic(font.italic());
}

bool Choose(QWidget *parent, EditorSettings &prefs, const FontPicker &pick)
{
    if (!pick)
        return false;
    const std::optional<QFont> chosen = pick(parent, FromPrefs(prefs));
    if (!chosen)
        return false;
    Store(prefs, *chosen);
    return true;
}

} // namespace GridFont
