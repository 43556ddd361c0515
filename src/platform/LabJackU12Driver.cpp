#include "platform/LabJackU12Driver.h"

#include <cstring>

QString LabJackU12Driver::DefaultLibraryName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("ljackuw");
#else
    return QStringLiteral("ljacklm");
#endif
}

LabJackU12Driver::LabJackU12Driver(const QString &libraryName) : m_library(libraryName)
{
}

LabJackU12Driver::~LabJackU12Driver()
{
    // The library stays mapped until the process ends: unloading a device
    // driver that may still hold the USB handle gains nothing.
}

template <typename Fn>
Fn LabJackU12Driver::resolve(const char *name, ErrorRecord &failure)
{
    if (!m_library.isLoaded() && !m_library.load()) {
        failure.set(CannotLoadLibrary, m_library.errorString());
        return nullptr;
    }
    auto fn = reinterpret_cast<Fn>(m_library.resolve(name));
    if (!fn)
        failure.set(MissingFunction, m_library.errorString());
    return fn;
}

qint32 LabJackU12Driver::Counter(qint32 *idnum, qint32 demo, qint32 *stateD, qint32 *stateIO,
                                 qint32 resetCounter, qint32 enableSTB, quint32 *count, ErrorRecord &failure)
{
    auto fn = resolve<CounterFn>("Counter", failure);
    if (!fn)
        return 0;
    long id = *idnum;
    long d = 0;
    long io = 0;
    unsigned long c = 0;
    const long result = fn(&id, demo, &d, &io, resetCounter, enableSTB, &c);
    *idnum = static_cast<qint32>(id);
    *stateD = static_cast<qint32>(d);
    *stateIO = static_cast<qint32>(io);
    *count = static_cast<quint32>(c);
    return static_cast<qint32>(result);
}

qint32 LabJackU12Driver::AISample(qint32 *idnum, qint32 demo, qint32 *stateIO, qint32 updateIO, qint32 ledOn,
                                  qint32 numChannels, const qint32 *channels, const qint32 *gains,
                                  qint32 disableCal, qint32 *overVoltage, float *voltages, ErrorRecord &failure)
{
    auto fn = resolve<AISampleFn>("AISample", failure);
    if (!fn)
        return 0;
    long id = *idnum;
    long io = *stateIO;
    long over = 0;
    long ch[4];
    long g[4];
    for (int i = 0; i < 4; ++i) {
        ch[i] = channels[i];
        g[i] = gains[i];
    }
    const long result = fn(&id, demo, &io, updateIO, ledOn, numChannels, ch, g, disableCal, &over, voltages);
    *idnum = static_cast<qint32>(id);
    *stateIO = static_cast<qint32>(io);
    *overVoltage = static_cast<qint32>(over);
    return static_cast<qint32>(result);
}

qint32 LabJackU12Driver::Reset(qint32 *idnum, ErrorRecord &failure)
{
    auto fn = resolve<ResetFn>("Reset", failure);
    if (!fn)
        return 0;
    long id = *idnum;
    const long result = fn(&id);
    *idnum = static_cast<qint32>(id);
    return static_cast<qint32>(result);
}

float LabJackU12Driver::GetDriverVersion(ErrorRecord &failure)
{
    auto fn = resolve<GetDriverVersionFn>("GetDriverVersion", failure);
    return fn ? fn() : 0.0f;
}

float LabJackU12Driver::GetFirmwareVersion(qint32 *idnum, ErrorRecord &failure)
{
    auto fn = resolve<GetFirmwareVersionFn>("GetFirmwareVersion", failure);
    if (!fn)
        return 0.0f;
    long id = *idnum;
    const float version = fn(&id);
    *idnum = static_cast<qint32>(id);
    return version;
}

void LabJackU12Driver::GetErrorString(qint32 errorCode, char *errorString, ErrorRecord &failure)
{
    auto fn = resolve<GetErrorStringFn>("GetErrorString", failure);
    if (!fn)
        return;
    // The library writes at most ErrorStringSize characters; a roomier
    // private buffer keeps a build that writes more from overrunning the
    // caller's.
    char buffer[256] = {};
    fn(errorCode, buffer);
    buffer[ErrorStringSize - 1] = '\0';
    std::memcpy(errorString, buffer, ErrorStringSize);
}
