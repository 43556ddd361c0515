#include "model/ProjectFile.h"

#include <QFileInfo>
#include <QStringList>

namespace {

// The maps in file order (the order of the bulk transfer, not of the image).
constexpr MapKey FileMapOrder[] = {
    MapKey::HOFM, MapKey::LOFM, MapKey::HOHGFM, MapKey::LOHGFM, MapKey::FUELRPM,
    MapKey::FUELTP, MapKey::LOTM, MapKey::HOTM, MapKey::TIMINGRPM, MapKey::TIMINGTP,
};

// Reads bytes in file order; past the end of the data it yields 0.
class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : m_bytes(bytes) {}
    int next()
    {
        const int v = m_pos < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_pos]) : 0;
        ++m_pos;
        return v;
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

} // namespace

QByteArray EncodeProject(const Tune &tune)
{
    const CVGeneralInfo &g = tune.general();
    QByteArray out;
    out.reserve(ProjectFormat::Size);
    auto put = [&](int v) { out.append(static_cast<char>(v & 0xFF)); };

    put(ProjectFormat::FormatByte);
    for (MapKey key : FileMapOrder)
        out.append(tune.map(key).Bytes());
    put(g.RevLimiter());
    put(g.SpeedLimiter());
    put(g.InjectorK() >> 8);
    put(g.InjectorK());
    put(g.InjectorBlast());
    put(g.InjectorVoid());
    put(g.VTCRelease());
    for (int i = 0; i < 16; ++i) put(g.TTPMin(i));
    for (int i = 0; i < 16; ++i) put(g.TTPMax(i));
    for (int i = 0; i < 16; ++i) put(g.TPLimit(i));
    for (int i = 0; i < 16; ++i) put(g.AccelEnrich(i));
    for (int i = 0; i < 32; ++i) put(g.IgnitionDuty(i));
    // A version shorter than five characters is padded with blanks.
    const QString version = g.Version().leftJustified(CVGeneralInfo::VersionLength, QLatin1Char(' '), true);
    for (int i = 0; i < CVGeneralInfo::VersionLength; ++i)
        put(version.at(i).unicode());
    for (int i = 0; i < 64; ++i) {
        put(g.VQ(i) >> 8);
        put(g.VQ(i));
    }
    return out;
}

void DecodeProject(const QByteArray &bytes, Tune &tune)
{
    CVGeneralInfo &g = tune.general();
    Reader in(bytes);
    in.next(); // the format byte is read and ignored
    for (MapKey key : FileMapOrder) {
        CVMapInfo &m = tune.map(key);
        for (int i = 0; i < m.EntryCount(); ++i)
            m.SetMapValue(i, in.next());
    }
    g.SetRevLimiter(in.next());
    g.SetSpeedLimiter(in.next());
    const int kHigh = in.next();
    g.SetInjectorK(kHigh * 256 + in.next());
    g.SetInjectorBlast(in.next());
    g.SetInjectorVoid(in.next());
    g.SetVTCRelease(in.next());
    for (int i = 0; i < 16; ++i) g.SetTTPMin(i, in.next());
    for (int i = 0; i < 16; ++i) g.SetTTPMax(i, in.next());
    for (int i = 0; i < 16; ++i) g.SetTPLimit(i, in.next());
    for (int i = 0; i < 16; ++i) g.SetAccelEnrich(i, in.next());
    for (int i = 0; i < 32; ++i) g.SetIgnitionDuty(i, in.next());
    QString version;
    for (int i = 0; i < CVGeneralInfo::VersionLength; ++i)
        version.append(QChar(in.next()));
    g.SetVersion(version);
    for (int i = 0; i < 64; ++i) {
        const int high = in.next();
        g.SetVQ(i, high * 256 + in.next());
    }
}

namespace {

FileOutcome readProjectBytes(const QString &path, QByteArray &bytes, QString *warning)
{
    if (FileOutcome read = ReadFileHead(path, ProjectFormat::Size, bytes); !read)
        return read;
    if (warning)
        *warning = ProjectFileWarning(path, bytes);
    return FileOutcome::success();
}

QString hexByte(char byte)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(static_cast<unsigned char>(byte), 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString ProjectFileWarning(const QString &path, const QByteArray &bytes)
{
    QStringList unusual;
    if (bytes.isEmpty())
        unusual << QStringLiteral("it is empty, so every field reads as 0");
    else if (bytes.size() < ProjectFormat::Size)
        unusual << QStringLiteral("it is shorter than the %1 bytes of a project file, so the missing fields read as 0")
                       .arg(ProjectFormat::Size);
    if (!bytes.isEmpty() && bytes[0] != ProjectFormat::FormatByte)
        unusual << QStringLiteral("its first byte is %1 where a project file has %2")
                       .arg(hexByte(bytes[0]), hexByte(ProjectFormat::FormatByte));
    if (unusual.isEmpty())
        return QString();
    // Only the head was read; a longer file's size comes from the system.
    const qint64 size = bytes.size() < ProjectFormat::Size ? bytes.size() : QFileInfo(path).size();
    return QStringLiteral("'%1' (%2 bytes) does not look like a Vantrelle project file: %3.")
        .arg(path)
        .arg(size)
        .arg(unusual.join(QStringLiteral("; ")));
}

FileOutcome ReadProjectFile(const QString &path, Tune &tune, QString *warning)
{
    QByteArray bytes;
    if (FileOutcome read = readProjectBytes(path, bytes, warning); !read)
        return read;
    DecodeProject(bytes, tune);
    return FileOutcome::success();
}

FileOutcome WriteProjectFile(const QString &path, const Tune &tune)
{
    AtomicFileWriter file(path);
    if (FileOutcome step = file.Open(); !step)
        return step;
    if (FileOutcome step = file.Write(EncodeProject(tune)); !step)
        return step;
    // An existing longer file keeps whatever follows the project's bytes.
    if (QFileInfo(path).size() > ProjectFormat::Size)
        if (FileOutcome step = file.AppendFrom(path, ProjectFormat::Size); !step)
            return step;
    return file.Commit();
}

OpenProjectOutcome OpenProject(const QString &path, ProgramState &state, const ConfirmUnusualProject &confirm)
{
    OpenProjectOutcome outcome;
    QByteArray bytes;
    QString warning;
    if (FileOutcome read = readProjectBytes(path, bytes, &warning); !read) {
        outcome.message = QStringLiteral("Error when attempting to load map: ") + read.error;
        return outcome;
    }
    if (!warning.isEmpty() && confirm && !confirm(warning)) {
        outcome.cancelled = true;
        return outcome;
    }
    DecodeProject(bytes, state.tune);
    state.NoteLoaded(warning);
    outcome.ok = true;
    outcome.title = QStringLiteral("Vantrelle - ") + path;
    return outcome;
}
