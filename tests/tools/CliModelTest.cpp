// vantrelle-cli's file commands, run as a separate process on real files.

#include "history/HistoryStore.h"
#include "model/ImageFile.h"
#include "model/ProjectFile.h"
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

    // A tune whose cells read as known engine speeds and loads: fuel row r
    // at 500 (r + 1) RPM, column c at load 16 c; every fuel cell 31.
    static Tune knownTune()
    {
        Tune t;
        for (int i = 0; i < 16; ++i) {
            t.map(MapKey::FUELRPM).SetMapValue(i, 10 * (i + 1));
            t.map(MapKey::FUELTP).SetMapValue(i, 16 * i);
        }
        for (int i = 0; i < 256; ++i)
            t.map(MapKey::HOFM).SetMapValue(i, 31);
        t.general().SetRevLimiter(140);
        t.general().SetVersion(QStringLiteral("TTA01"));
        return t;
    }
    QString project(const QString &name, const Tune &tune)
    {
        EXPECT_TRUE(WriteProjectFile(path(name), tune).ok);
        return path(name);
    }
    static QStringList lines(const QByteArray &out) { return QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts); }
    // What a command prints: the lines, each ended.
    static std::string printed(const QStringList &lines)
    {
        return lines.isEmpty() ? std::string() : (lines.join('\n') + '\n').toStdString();
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
    ASSERT_TRUE(testenv::writeFile(path("long.bin"), QByteArray(32769, '\0')));
    const std::pair<QStringList, const char *> cases[] = {
        {{"extract", path("short.bin"), path("out")}, "100 bytes"},
        {{"extract", path("long.bin"), path("out")}, "32769 bytes where an image holds exactly 32768. Give --force"},
        {{"patch", path("none.vnt"), path("short.bin"), path("out")}, "Error when attempting"},
    };
    for (const auto &[args, message] : cases) {
        const auto r = cli(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(path("out")));
    }
    EXPECT_EQ(cli({"--force", "extract", path("long.bin"), path("out")}).exitCode, 0);
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

TEST_F(CliModelTest, DiffPrintsOneLinePerChangedValueInThePanelsUnits)
{
    const Tune base = knownTune();
    const QString a = project("a.vnt", base);
    // The same tune as an image, once named .bin and once known by its size.
    ASSERT_TRUE(WriteImageFile(path("a.bin"), PatchImage(QByteArray(32768, '\0'), base)).ok);
    ASSERT_TRUE(QFile::copy(path("a.bin"), path("a-image")));
    struct Case
    {
        const char *what;
        std::function<void(Tune &)> change;
        QStringList args;
        QStringList expected;
    };
    const Case cases[] = {
        {"equal", [](Tune &) {}, {"a.bin", "b.vnt"}, {}},
        {"image by size", [](Tune &) {}, {"b.vnt", "a-image"}, {}},
        {"cell", [](Tune &t) { t.map(MapKey::HOFM).SetMapValue(36, 33); }, {"a.vnt", "b.vnt"},
         {"High Octane Fuel Map 37 (1500 RPM, load 64): 31 -> 33"}},
        {"loop only", [](Tune &t) { t.map(MapKey::HOFM).SetMapValue(36, 31 + 192); }, {"a.bin", "b.vnt"},
         {"High Octane Fuel Map 37 (1500 RPM, load 64): 31 -> 31 closed loop"}},
        {"general and version", [](Tune &t) { t.general().SetRevLimiter(141); t.general().SetVersion("TTA02"); },
         {"a.vnt", "b.vnt"}, {"Rev Limiter: 7000 RPM -> 7050 RPM", "Version: \"TTA01\" -> \"TTA02\""}},
        {"axis", [](Tune &t) { t.map(MapKey::FUELRPM).SetMapValue(2, 32); }, {"a.vnt", "b.vnt"},
         {"Fuel RPM Map 3 (1500 RPM): 1500 -> 1600"}},
        {"raw", [](Tune &t) { t.map(MapKey::HOFM).SetMapValue(36, 33); t.general().SetVQ(1, 0x01); },
         {"--raw", "a.vnt", "b.vnt"}, {"High Octane Fuel Map byte 36: 1F -> 21", "VQ Table byte 3: 00 -> 01"}},
    };
    for (const Case &c : cases) {
        Tune b = base;
        c.change(b);
        project("b.vnt", b);
        QStringList args{"diff"};
        for (const QString &arg : c.args)
            args << (arg.startsWith("--") ? arg : path(arg));
        const auto r = cli(args);
        EXPECT_EQ(r.exitCode, c.expected.isEmpty() ? 0 : 1) << c.what << r.err.toStdString();
        EXPECT_EQ(r.out.toStdString(), printed(c.expected)) << c.what;
    }
    ASSERT_TRUE(testenv::makeFifo(path("pipe")));
    const std::pair<QStringList, QString> unreadable[] = {
        {{"diff", a, path("none.vnt")}, path("none.vnt")},
        {{"diff", path("pipe"), a}, path("pipe")},
        {{"textconv", dir.path()}, dir.path()},
        {{"diff", a}, "diff takes A B"},
    };
    for (const auto &[args, named] : unreadable) {
        const auto r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(named)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

// git diff shows a changed value as one changed line only when every line
// names its value completely and the same tune always reads the same.
TEST_F(CliModelTest, TextconvIsStableAndOneChangedValueIsOneChangedLine)
{
    const Tune base = knownTune();
    const auto first = cli({"textconv", project("a.vnt", base)});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(cli({"textconv", path("a.vnt")}).out, first.out);
    const std::pair<std::function<void(Tune &)>, QString> cases[] = {
        {[](Tune &t) { t.map(MapKey::HOFM).SetMapValue(36, 33); },
         "High Octane Fuel Map row 3 col 5 (1500 RPM, load 64) = 33"},
        {[](Tune &t) { t.map(MapKey::HOFM).SetMapValue(255, 31 + 192); },
         "High Octane Fuel Map row 16 col 16 (8000 RPM, load 240) = 31 closed loop"},
        {[](Tune &t) { t.general().SetSpeedLimiter(3); }, "Speed Limiter = 3.72 MPH"},
        {[](Tune &t) { t.general().SetAccelEnrich(15, 9); }, "Acceleration Enrichment Map 16 = 9"},
        {[](Tune &t) { t.general().SetIgnitionDuty(17, 9); }, "Ignition Dwell Duty Map 18 (dwell angle, 1000 RPM) = 9"},
    };
    const QStringList before = lines(first.out);
    for (const auto &[change, expected] : cases) {
        Tune b = base;
        change(b);
        const QStringList after = lines(cli({"textconv", project("b.vnt", b)}).out);
        ASSERT_EQ(after.size(), before.size()) << expected.toStdString();
        QStringList changed;
        for (qsizetype i = 0; i < after.size(); ++i)
            if (after[i] != before[i])
                changed << after[i];
        EXPECT_EQ(printed(changed), printed({expected}));
    }
}

TEST_F(CliModelTest, HistoryListsShowsAndRestoresItsEntries)
{
    const Tune first = knownTune();
    Tune second = first;
    second.map(MapKey::HOFM).SetMapValue(36, 33);
    const QString folder = path("history");
    HistoryStore store(folder);
    ASSERT_TRUE(store.Add(HistoryKind::Save, "/cars/a.vnt", first, QByteArray(32768, '\0'), "before the\ntrack day"));
    ASSERT_TRUE(store.Add(HistoryKind::BoxWrite, "the Vantrelle", second, QByteArray(32768, '\0')));
    const auto at = [&](int i) { return store.Entries()[i].at.toLocalTime().toString("yyyy-MM-dd HH:mm:ss"); };
    const QString line1 = "1  " + at(0) + "  Saved  /cars/a.vnt  before the\\ntrack day";
    const QString line2 = "2  " + at(1) + "  Written to the Vantrelle  the Vantrelle";
    // The application's own folder when none is named.
    const QString own = qEnvironmentVariable("XDG_DATA_HOME") + "/Vantrelle/Vantrelle/history";
    ASSERT_TRUE(HistoryStore(own).Add(HistoryKind::StockLoad, "105", first, QByteArray(32768, '\0')));
    const QString index = folder + "/index.tsv";
    const QByteArray indexBytes = testenv::readFile(index);
    ASSERT_TRUE(QFile::link(index, path("index-link.vnt")));
    struct Case
    {
        QStringList args;
        int exitCode;
        QStringList out;
    };
    const Case cases[] = {
        {{"history", "list"}, 0, {line1, line2}},
        {{"history", "show", "2"}, 0, {line2, "High Octane Fuel Map 37 (1500 RPM, load 64): 31 -> 33"}},
        {{"history", "show", "1"}, 0, {line1}},
        {{"history", "show", "3"}, 1, {}},
        {{"history", "restore", "3", path("out.vnt")}, 1, {}},
        {{"history", "restore", "2", index}, 1, {}},
        {{"history", "restore", "1", path("index-link.vnt")}, 1, {}},
        {{"history", "restore", "2", path("out.vnt")}, 0, {}},
        {{"history", "show", "two"}, 2, {}},
        {{"history", "drop", "1"}, 2, {}},
        {{"history"}, 2, {}},
        {{"history", "list", "--folder", path("none")}, 2, {}},
    };
    for (const Case &c : cases) {
        const auto r = cli(QStringList{"--folder", folder} + c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_EQ(r.out.toStdString(), printed(c.out)) << c.args.join(' ').toStdString();
    }
    EXPECT_EQ(testenv::readFile(index), indexBytes);
    Tune restored;
    ASSERT_TRUE(ReadProjectFile(path("out.vnt"), restored).ok);
    EXPECT_TRUE(restored.sameContents(second));
    EXPECT_TRUE(lines(cli({"history", "list"}).out).value(0).endsWith("Stock program loaded  105"));
}
