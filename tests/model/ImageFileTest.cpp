#include "model/ImageFile.h"
#include "model/StockPrograms.h"
#include "model/TuneItems.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class ImageFileTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};
} // namespace

TEST_F(ImageFileTest, RefusesMissingAndShortFiles)
{
    QByteArray image;
    const FileOutcome missing = ReadImageFile(path("none.bin"), image);
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains("none.bin"));

    ASSERT_TRUE(testenv::writeFile(path("short.bin"), QByteArray(32767, '\0')));
    const FileOutcome shortFile = ReadImageFile(path("short.bin"), image);
    EXPECT_FALSE(shortFile.ok);
    EXPECT_TRUE(shortFile.error.contains("32767")) << shortFile.error.toStdString();
    EXPECT_TRUE(image.isEmpty());
}

TEST_F(ImageFileTest, ReadsTheFirst32768BytesAndWritesExactly32768)
{
    QByteArray longer(40000, '\0');
    for (int i = 0; i < longer.size(); ++i)
        longer[i] = static_cast<char>(i * 13);
    ASSERT_TRUE(testenv::writeFile(path("long.bin"), longer));
    QByteArray image;
    ASSERT_TRUE(ReadImageFile(path("long.bin"), image));
    EXPECT_EQ(image, longer.left(32768));

    // Writing over a longer file leaves exactly the image, no old tail.
    ASSERT_TRUE(WriteImageFile(path("long.bin"), image));
    EXPECT_EQ(testenv::readFile(path("long.bin")), image);
    EXPECT_FALSE(WriteImageFile(path("bad.bin"), QByteArray(10, '\0')));
    EXPECT_FALSE(QFile::exists(path("bad.bin")));
}

TEST(StockProgramsTest, EveryStockImageIsAPlausibleTune)
{
    for (const StockProgram &p : StockPrograms()) {
        const StockImageResult r = LoadStockImage(p.resource);
        ASSERT_EQ(r.status, StockImageResult::Ok) << p.resource << " " << r.message().toStdString();
        ASSERT_EQ(r.image.size(), ImageFormat::Size);
        Tune t;
        TuneFromImage(r.image, t);
        for (MapKey axis : {MapKey::FUELRPM, MapKey::FUELTP, MapKey::TIMINGRPM, MapKey::TIMINGTP})
            for (int i = 1; i < 16; ++i)
                EXPECT_LT(t.map(axis).MapValue(i - 1), t.map(axis).MapValue(i)) << "axes ascend";
        EXPECT_GT(t.general().RevLimiter() * 50, 5000);
        EXPECT_NE(t.general().InjectorK(), 0);
        EXPECT_EQ(t.general().Version().size(), 5);
        // Outside the modelled regions every byte is 0xFF.
        QByteArray rest = r.image;
        for (const TuneItem &item : TuneItems())
            if (IsTransferredItem(item.number))
                rest.replace(item.address, item.size, QByteArray(item.size, '\xFF'));
        EXPECT_EQ(rest, QByteArray(ImageFormat::Size, '\xFF'));
    }
}

TEST(StockProgramsTest, LookupFailuresCarryTheirMessages)
{
    const StockImageResult noModule = LoadStockImage(105, "/nonexistent/vntres.dll");
    EXPECT_EQ(noModule.message(), "Could not load 'vntres.dll'.");
    const StockImageResult noResource = LoadStockImage(102);
    EXPECT_EQ(noResource.message(), "Could not find requested resource.");
    EXPECT_EQ(LoadStockImage(0).status, StockImageResult::NotFound);

    QTemporaryDir dir;
    const QString notAModule = dir.filePath("vntres.dll");
    ASSERT_TRUE(testenv::writeFile(notAModule, "this is not a resource module"));
    EXPECT_EQ(LoadStockImage(105, notAModule).status, StockImageResult::ModuleMissing);
}

TEST(StockProgramsTest, TwoModulesCanBeLoadedAtOnce)
{
    const StockImageResult a = LoadStockImage(105);
    const StockImageResult b = LoadStockImage(101);
    ASSERT_EQ(a.status, StockImageResult::Ok);
    ASSERT_EQ(b.status, StockImageResult::Ok);
    EXPECT_NE(a.image, b.image);
}
