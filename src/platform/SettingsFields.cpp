#include "platform/SettingsFields.h"

#include "platform/SettingsStore.h"

namespace SettingsFields {

void Load(const SettingsStore &store, const std::vector<Field> &fields)
{
    for (const Field &f : fields) {
        QString text;
        if (store.ReadText(QLatin1String(f.section), QLatin1String(f.key), text) != SettingsStore::Ok)
            continue;
        if (int *const *number = std::get_if<int *>(&f.value)) {
            bool ok = false;
            const int v = text.trimmed().toInt(&ok);
            if (ok && v >= f.min && v <= f.max)
                **number = v;
        } else if (bool *const *flag = std::get_if<bool *>(&f.value)) {
            if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                **flag = true;
            else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                **flag = false;
        } else {
            *std::get<QString *>(f.value) = text;
        }
    }
}

void Save(SettingsStore &store, const std::vector<Field> &fields)
{
    for (const Field &f : fields) {
        QString text;
        if (int *const *number = std::get_if<int *>(&f.value))
            text = QString::number(**number);
        else if (bool *const *flag = std::get_if<bool *>(&f.value))
            text = **flag ? QStringLiteral("True") : QStringLiteral("False");
        else
            text = *std::get<QString *>(f.value);
        store.WriteText(QLatin1String(f.section), QLatin1String(f.key), text);
    }
}

} // namespace SettingsFields
