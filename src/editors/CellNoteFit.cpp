#include "editors/CellNoteFit.h"

namespace CellNoteFit {

QString Choose(const QStringList &forms, int room, const std::function<int(const QString &)> &width)
{
    for (const QString &form : forms)
        if (!form.isEmpty() && width(form) <= room)
            return form;
    return forms.isEmpty() ? QString() : Bullet;
}

bool DarkBoxOn(quint32 rgb)
{
    const int r = static_cast<int>((rgb >> 16) & 0xFF);
    const int g = static_cast<int>((rgb >> 8) & 0xFF);
    const int b = static_cast<int>(rgb & 0xFF);
    // Perceived brightness (ITU-R BT.601 weights), 0..255000.
    return r * 299 + g * 587 + b * 114 >= 128 * 1000;
}

} // namespace CellNoteFit
