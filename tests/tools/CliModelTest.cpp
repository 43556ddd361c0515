// vantrelle-cli's file commands, run as a separate process on real files.

#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

class CliModelTest : public ::testing::Test
{
protected:
    testenv::ProcessResult cli(const QStringList &args)
    {
        return testenv::run(testenv::binary("vantrelle-cli"), args);
    }
    QString path(const QString &name) const { return dir.filePath(name); }

    // A project file made from stock image 105.
    QString stockProject()
    {
        const QString bin = path("105.bin");
        const QString vnt = path("105.vnt");
        EXPECT_EQ(cli({"stock", "105", bin}).exitCode, 0);
        EXPECT_EQ(cli({"extract", bin, vnt}).exitCode, 0);
        return vnt;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(CliModelTest, PackIsTheInverseOfShowAndRefusesBadFieldsLeavingTheOutputAlone)
{
    const QString vnt = stockProject();
    const auto shown = cli({"show", vnt});
    ASSERT_TRUE(testenv::writeFile(path("t.json"), shown.out));
    const auto packed = cli({"pack", path("t.json"), path("again.vnt")});
    ASSERT_EQ(packed.exitCode, 0) << packed.err.toStdString();
    EXPECT_EQ(testenv::readFile(path("again.vnt")), testenv::readFile(vnt));

    const QJsonObject good = QJsonDocument::fromJson(shown.out).object();
    ASSERT_TRUE(testenv::writeFile(path("out.vnt"), "precious"));

    struct Case
    {
        const char *what;
        std::function<void(QJsonObject &maps, QJsonObject &params)> spoil;
        const char *named;
    };
    const Case cases[] = {
        {"short map", [](QJsonObject &m, QJsonObject &) { QJsonArray a = m["FUELRPM"].toArray(); a.removeLast(); m["FUELRPM"] = a; }, "maps.FUELRPM"},
        {"entry 256", [](QJsonObject &m, QJsonObject &) { QJsonArray a = m["HOFM"].toArray(); a[5] = 256; m["HOFM"] = a; }, "maps.HOFM[5]"},
        {"K too big", [](QJsonObject &, QJsonObject &p) { p["InjectorK"] = 65536; }, "params.InjectorK"},
        {"VQ too big", [](QJsonObject &, QJsonObject &p) { QJsonArray a = p["VQ"].toArray(); a[63] = 70000; p["VQ"] = a; }, "params.VQ[63]"},
        {"long version", [](QJsonObject &, QJsonObject &p) { p["Version"] = "ABCDEF"; }, "params.Version"},
        {"text for a number", [](QJsonObject &, QJsonObject &p) { p["VTCRelease"] = "100"; }, "params.VTCRelease"},
    };
    for (const Case &c : cases) {
        QJsonObject maps = good["maps"].toObject();
        QJsonObject params = good["params"].toObject();
        c.spoil(maps, params);
        QJsonObject root{{"maps", maps}, {"params", params}};
        ASSERT_TRUE(testenv::writeFile(path("bad.json"), QJsonDocument(root).toJson()));
        const auto r = cli({"pack", path("bad.json"), path("out.vnt")});
        EXPECT_NE(r.exitCode, 0) << c.what;
        EXPECT_TRUE(r.err.contains(c.named)) << c.what << ": " << r.err.toStdString();
        EXPECT_EQ(testenv::readFile(path("out.vnt")), "precious") << c.what;
    }
    ASSERT_TRUE(testenv::writeFile(path("bad.json"), "{ not json"));
    EXPECT_NE(cli({"pack", path("bad.json"), path("out.vnt")}).exitCode, 0);
}

TEST_F(CliModelTest, FailuresPrintOneMessageAndLeaveNoOutput)
{
    ASSERT_TRUE(testenv::writeFile(path("short.bin"), QByteArray(100, '\0')));
    const std::pair<QStringList, const char *> cases[] = {
        {{"extract", path("short.bin"), path("out")}, "100 bytes"},
        {{"patch", path("none.vnt"), path("short.bin"), path("out")}, "Error when attempting"},
    };
    for (const auto &[args, message] : cases) {
        const auto r = cli(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("out")));
    }
}

// The rules themselves are tested in FileIOTest; here, that every command
// applies them, the stock command's resource module counting as an input.
TEST_F(CliModelTest, AnOutputThatIsAnInputOrNotARegularFileIsRefusedUntouched)
{
    const QString vnt = stockProject();
    const QString bin = path("105.bin");
    ASSERT_TRUE(testenv::writeFile(path("t.json"), cli({"show", vnt}).out));
    ASSERT_TRUE(QFile::link(bin, path("link.bin")));
    ASSERT_TRUE(testenv::makeFifo(path("pipe")));
    const QByteArray json = testenv::readFile(path("t.json"));
    const QByteArray image = testenv::readFile(bin);
    // A copy of the tool and its module, so a fault could not spoil the build's.
    ASSERT_TRUE(QDir(dir.path()).mkdir("tool"));
    const QString module = path("tool/vntres.dll");
    ASSERT_TRUE(QFile::copy(testenv::binary("vantrelle-cli"), path("tool/vantrelle-cli")));
    ASSERT_TRUE(QFile::copy(testenv::binDir() + "/vntres.dll", module));
    const QByteArray moduleBytes = testenv::readFile(module);

    const QStringList cases[] = {
        {"pack", path("t.json"), path("t.json")},
        {"patch", vnt, bin, path("link.bin")},
        {"stock", "105", path("pipe")},
        {"stock", "105", module},
    };
    for (const QStringList &args : cases) {
        const auto r = testenv::run(path("tool/vantrelle-cli"), args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(args.last())) << r.err.toStdString();
    }
    EXPECT_EQ(testenv::readFile(module), moduleBytes);
    EXPECT_EQ(testenv::readFile(path("t.json")), json);
    EXPECT_EQ(testenv::readFile(bin), image);
    EXPECT_TRUE(testenv::isFifo(path("pipe")));
}
