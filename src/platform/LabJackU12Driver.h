#pragma once

#include "platform/DaqDriver.h"

#include <QLibrary>
#include <QString>

// The vendor's U12 library, loaded when first needed: "ljacklm" on Linux
// (libljacklm.so), "ljackuw" on Windows. The name may also be a path, so a
// user can point at another build. A library that cannot be loaded, or that
// lacks one of the functions, is reported through the failure record of the
// call; loading is tried again at the next call.
class LabJackU12Driver : public DaqDriver
{
public:
    // Error numbers of the failure record.
    static constexpr qint32 CannotLoadLibrary = 53;
    static constexpr qint32 MissingFunction = 453;

    static QString DefaultLibraryName();

    explicit LabJackU12Driver(const QString &libraryName = DefaultLibraryName());
    ~LabJackU12Driver() override;

    QString libraryName() const { return m_library.fileName(); }

    qint32 Counter(qint32 *idnum, qint32 demo, qint32 *stateD, qint32 *stateIO, qint32 resetCounter,
                   qint32 enableSTB, quint32 *count, ErrorRecord &failure) override;
    qint32 AISample(qint32 *idnum, qint32 demo, qint32 *stateIO, qint32 updateIO, qint32 ledOn,
                    qint32 numChannels, const qint32 *channels, const qint32 *gains, qint32 disableCal,
                    qint32 *overVoltage, float *voltages, ErrorRecord &failure) override;
    qint32 Reset(qint32 *idnum, ErrorRecord &failure) override;
    float GetDriverVersion(ErrorRecord &failure) override;
    float GetFirmwareVersion(qint32 *idnum, ErrorRecord &failure) override;
    void GetErrorString(qint32 errorCode, char *errorString, ErrorRecord &failure) override;

private:
    // The library's C interface takes the platform's long.
    using CounterFn = long (*)(long *, long, long *, long *, long, long, unsigned long *);
    using AISampleFn = long (*)(long *, long, long *, long, long, long, long *, long *, long, long *, float *);
    using ResetFn = long (*)(long *);
    using GetDriverVersionFn = float (*)();
    using GetFirmwareVersionFn = float (*)(long *);
    using GetErrorStringFn = void (*)(long, char *);

    // The named function, or nullptr with failure set.
    template <typename Fn>
    Fn resolve(const char *name, ErrorRecord &failure);

    QLibrary m_library;
};
