// vantrelle-cli's file commands, run as a separate process on real files.

#include "model/ImageFile.h"
#include "model/ProjectFile.h"
#include "model/StockPrograms.h"
#include "model/TuneItems.h"
#include "model/TuneJson.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

TEST_F(CliModelTest, PackIsTheInverseOfShow)
{
    const QString vnt = stockProject();
    const auto shown = cli({"show", vnt});
    ASSERT_TRUE(testenv::writeFile(path("t.json"), shown.out));
    const auto packed = cli({"pack", path("t.json"), path("again.vnt")});
    ASSERT_EQ(packed.exitCode, 0) << packed.err.toStdString();
    EXPECT_EQ(testenv::readFile(path("again.vnt")), testenv::readFile(vnt));
}

TEST_F(CliModelTest, PackRefusesBadFieldsAndLeavesTheOutputAlone)
{
    const QString vnt = stockProject();
    const QJsonObject good = QJsonDocument::fromJson(cli({"show", vnt}).out).object();
    ASSERT_TRUE(testenv::writeFile(path("out.vnt"), "precious"));

    struct Case
    {
        const char *what;
        std::function<void(QJsonObject &maps, QJsonObject &params)> spoil;
        const char *named;
    };
    const Case cases[] = {
        {"missing map", [](QJsonObject &m, QJsonObject &) { m.remove("LOTM"); }, "maps.LOTM"},
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
    const struct
    {
        QStringList args;
        const char *message;
        const char *output;
    } cases[] = {
        {{"show", path("none.vnt")}, "Error when attempting to load map: ", nullptr},
        {{"extract", path("short.bin"), path("o1.vnt")}, "100 bytes", "o1.vnt"},
        {{"stock", "102", path("o3.bin")}, "Could not find requested resource.", "o3.bin"},
        {{"patch", path("none.vnt"), path("short.bin"), path("o4.bin")}, "Error when attempting", "o4.bin"},
        {{"show", "/dev/zero"}, "'/dev/zero' is a device, not a regular file", nullptr},
    };
    for (const auto &c : cases) {
        const auto r = cli(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        if (c.output) {
            EXPECT_FALSE(QFile::exists(path(c.output)));
        }
    }
    EXPECT_EQ(cli({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(cli({"show"}).exitCode, 2);
}

TEST_F(CliModelTest, AnOutputThatIsAnInputOrNotARegularFileIsRefusedUntouched)
{
    const QString vnt = stockProject();
    const QString bin = path("105.bin");
    ASSERT_TRUE(testenv::writeFile(path("t.json"), cli({"show", vnt}).out));
    ASSERT_TRUE(QFile::link(path("t.json"), path("link.json")));
    ASSERT_TRUE(QFile::link(bin, path("link.bin")));
    ASSERT_TRUE(testenv::makeFifo(path("pipe")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    const QByteArray json = testenv::readFile(path("t.json"));
    const QByteArray image = testenv::readFile(bin);
    const QByteArray project = testenv::readFile(vnt);

    const QStringList cases[] = {
        {"pack", path("t.json"), path("t.json")},
        {"extract", bin, path("./folder/../105.bin")},
        {"patch", vnt, bin, path("link.bin")},
        {"patch", vnt, bin, vnt},
        {"stock", "105", path("pipe")},
        {"extract", bin, path("folder")},
    };
    for (const QStringList &args : cases) {
        const auto r = cli(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(args.last())) << r.err.toStdString();
    }
    // The resource module the stock image comes from is an input too (a copy
    // of the tool and its module, so a fault could not spoil the build's).
    ASSERT_TRUE(QDir(dir.path()).mkdir("tool"));
    const QString module = path("tool/vntres.dll");
    ASSERT_TRUE(QFile::copy(testenv::binary("vantrelle-cli"), path("tool/vantrelle-cli")));
    ASSERT_TRUE(QFile::copy(testenv::binDir() + "/vntres.dll", module));
    const QByteArray moduleBytes = testenv::readFile(module);
    EXPECT_EQ(testenv::run(path("tool/vantrelle-cli"), {"stock", "105", module}).exitCode, 1);
    EXPECT_EQ(testenv::readFile(module), moduleBytes);
    EXPECT_EQ(testenv::readFile(path("t.json")), json);
    EXPECT_EQ(testenv::readFile(bin), image);
    EXPECT_EQ(testenv::readFile(vnt), project);
    EXPECT_TRUE(testenv::isFifo(path("pipe")));
    EXPECT_TRUE(QFileInfo(path("folder")).isDir());
    EXPECT_EQ(QDir(path("folder")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});
}

TEST_F(CliModelTest, AnUnusualProjectIsShownWithAWarningAndPatchedOnlyWhenForced)
{
    const QString base = path("base.bin");
    ASSERT_EQ(cli({"stock", "101", base}).exitCode, 0);
    const QString odd = path("odd.vnt");
    ASSERT_TRUE(testenv::writeFile(odd, QByteArray()));
    ASSERT_TRUE(testenv::writeFile(path("out.bin"), "precious"));

    const auto shown = cli({"show", odd});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_TRUE(shown.err.startsWith("vantrelle-cli: warning: '" + odd.toUtf8() + "' (0 bytes)")) << shown.err.toStdString();
    EXPECT_TRUE(QJsonDocument::fromJson(shown.out).isObject());

    const auto refused = cli({"patch", odd, base, path("out.bin")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("--force")) << refused.err.toStdString();
    EXPECT_EQ(testenv::readFile(path("out.bin")), "precious");

    const auto forced = cli({"patch", "--force", odd, base, path("out.bin")});
    ASSERT_EQ(forced.exitCode, 0) << forced.err.toStdString();
    Tune zero;
    DecodeProject(QByteArray(), zero);
    EXPECT_EQ(testenv::readFile(path("out.bin")), PatchImage(testenv::readFile(base), zero));
}
