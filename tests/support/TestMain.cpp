// Test entry point: a QApplication on the offscreen platform, with the user's
// settings folder and temporary folder replaced by fresh private ones, so
// tests never read or write the real preferences or data logs.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QTemporaryDir isolated;
    qputenv("XDG_CONFIG_HOME", (isolated.path() + "/config").toLocal8Bit());
    // Running data logs live in the data folder.
    qputenv("XDG_DATA_HOME", (isolated.path() + "/data").toLocal8Bit());
    qputenv("XDG_STATE_HOME", (isolated.path() + "/state").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (isolated.path() + "/runtime").toLocal8Bit());
    qputenv("TMPDIR", (isolated.path()).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir().mkpath(isolated.path() + "/runtime");
    QFile::setPermissions(isolated.path() + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
