#include "model/TuneJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>

namespace {

struct ScalarField
{
    const char *name;
    int max;
    std::function<int(const CVGeneralInfo &)> get;
    std::function<void(CVGeneralInfo &, int)> set;
};

struct TableField
{
    const char *name;
    int size;
    int max;
    std::function<int(const CVGeneralInfo &, int)> get;
    std::function<void(CVGeneralInfo &, int, int)> set;
};

const std::vector<ScalarField> &scalarFields()
{
    static const std::vector<ScalarField> fields{
        {"RevLimiter", 255, &CVGeneralInfo::RevLimiter, &CVGeneralInfo::SetRevLimiter},
        {"SpeedLimiter", 255, &CVGeneralInfo::SpeedLimiter, &CVGeneralInfo::SetSpeedLimiter},
        {"InjectorK", 65535, &CVGeneralInfo::InjectorK, &CVGeneralInfo::SetInjectorK},
        {"InjectorBlast", 255, &CVGeneralInfo::InjectorBlast, &CVGeneralInfo::SetInjectorBlast},
        {"InjectorVoid", 255, &CVGeneralInfo::InjectorVoid, &CVGeneralInfo::SetInjectorVoid},
        {"VTCRelease", 255, &CVGeneralInfo::VTCRelease, &CVGeneralInfo::SetVTCRelease},
    };
    return fields;
}

const std::vector<TableField> &tableFields()
{
    static const std::vector<TableField> fields{
        {"TTPMin", 16, 255, &CVGeneralInfo::TTPMin, &CVGeneralInfo::SetTTPMin},
        {"TTPMax", 16, 255, &CVGeneralInfo::TTPMax, &CVGeneralInfo::SetTTPMax},
        {"TPLimit", 16, 255, &CVGeneralInfo::TPLimit, &CVGeneralInfo::SetTPLimit},
        {"AccelEnrich", 16, 255, &CVGeneralInfo::AccelEnrich, &CVGeneralInfo::SetAccelEnrich},
        {"IgnitionDuty", 32, 255, &CVGeneralInfo::IgnitionDuty, &CVGeneralInfo::SetIgnitionDuty},
        {"VQ", 64, 65535, &CVGeneralInfo::VQ, &CVGeneralInfo::SetVQ},
    };
    return fields;
}

// A whole number in 0..max, or -1.
int integerIn(const QJsonValue &v, int max)
{
    if (!v.isDouble())
        return -1;
    const double d = v.toDouble();
    if (d < 0 || d > max || d != static_cast<double>(static_cast<long long>(d)))
        return -1;
    return static_cast<int>(d);
}

// Reads an array of exactly size whole numbers in 0..max.
bool readArray(const QJsonObject &parent, const QString &path, const char *name, int size, int max,
               std::vector<int> &out, QString &error)
{
    const QJsonValue v = parent.value(QLatin1String(name));
    const QString field = path + QLatin1String(name);
    if (v.isUndefined()) {
        error = QStringLiteral("missing field %1").arg(field);
        return false;
    }
    if (!v.isArray() || v.toArray().size() != size) {
        error = QStringLiteral("field %1 must be an array of %2 numbers").arg(field).arg(size);
        return false;
    }
    const QJsonArray a = v.toArray();
    out.assign(size, 0);
    for (int i = 0; i < size; ++i) {
        out[i] = integerIn(a.at(i), max);
        if (out[i] < 0) {
            error = QStringLiteral("field %1[%2] must be a whole number from 0 to %3").arg(field).arg(i).arg(max);
            return false;
        }
    }
    return true;
}

} // namespace

QByteArray TuneToJson(const Tune &tune)
{
    QJsonObject maps;
    for (const auto &e : MapCatalogue()) {
        QJsonArray entries;
        const CVMapInfo &m = tune.map(e.key);
        for (int i = 0; i < m.EntryCount(); ++i)
            entries.append(m.MapValue(i));
        maps.insert(QLatin1String(e.keyText), entries);
    }
    const CVGeneralInfo &g = tune.general();
    QJsonObject params;
    for (const auto &f : scalarFields())
        params.insert(QLatin1String(f.name), f.get(g));
    for (const auto &f : tableFields()) {
        QJsonArray entries;
        for (int i = 0; i < f.size; ++i)
            entries.append(f.get(g, i));
        params.insert(QLatin1String(f.name), entries);
    }
    params.insert(QStringLiteral("Version"), g.Version());
    QJsonObject root;
    root.insert(QStringLiteral("maps"), maps);
    root.insert(QStringLiteral("params"), params);
    return QJsonDocument(root).toJson(QJsonDocument::Compact) + '\n';
}

bool TuneFromJson(const QByteArray &json, Tune &tune, QString &error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull()) {
        error = QStringLiteral("not valid JSON: %1 at offset %2").arg(parseError.errorString()).arg(parseError.offset);
        return false;
    }
    const QJsonObject root = doc.object();
    if (!root.value(QStringLiteral("maps")).isObject()) {
        error = QStringLiteral("missing field maps");
        return false;
    }
    if (!root.value(QStringLiteral("params")).isObject()) {
        error = QStringLiteral("missing field params");
        return false;
    }
    const QJsonObject maps = root.value(QStringLiteral("maps")).toObject();
    const QJsonObject params = root.value(QStringLiteral("params")).toObject();

    Tune result = tune; // filled completely before the caller's tune changes
    std::vector<int> values;
    for (const auto &e : MapCatalogue()) {
        CVMapInfo &m = result.map(e.key);
        if (!readArray(maps, QStringLiteral("maps."), e.keyText, m.EntryCount(), 255, values, error))
            return false;
        for (int i = 0; i < m.EntryCount(); ++i)
            m.SetMapValue(i, values[i]);
    }
    CVGeneralInfo &g = result.general();
    for (const auto &f : scalarFields()) {
        const QJsonValue v = params.value(QLatin1String(f.name));
        if (v.isUndefined()) {
            error = QStringLiteral("missing field params.%1").arg(QLatin1String(f.name));
            return false;
        }
        const int value = integerIn(v, f.max);
        if (value < 0) {
            error = QStringLiteral("field params.%1 must be a whole number from 0 to %2").arg(QLatin1String(f.name)).arg(f.max);
            return false;
        }
        f.set(g, value);
    }
    for (const auto &f : tableFields()) {
        if (!readArray(params, QStringLiteral("params."), f.name, f.size, f.max, values, error))
            return false;
        for (int i = 0; i < f.size; ++i)
            f.set(g, i, values[i]);
    }
    const QJsonValue version = params.value(QStringLiteral("Version"));
    if (version.isUndefined()) {
        error = QStringLiteral("missing field params.Version");
        return false;
    }
    const QString text = version.toString();
    bool latin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    if (!version.isString() || text.size() != CVGeneralInfo::VersionLength || !latin1) {
        error = QStringLiteral("field params.Version must be a text of 5 characters");
        return false;
    }
    g.SetVersion(text);
    tune = result;
    return true;
}
