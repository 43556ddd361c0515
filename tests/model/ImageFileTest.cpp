#include "model/ImageFile.h"
#include "model/StockPrograms.h"
#include "model/TuneItems.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ImageFileTest, ReadsExactly32768BytesTheFirstOfALongerFileOnlyWhenAcceptedAndWritesExactly32768)
{
    QTemporaryDir dir;
    QByteArray image;
    const FileOutcome missing = ReadImageFile(dir.filePath("none.bin"), image);
    EXPECT_TRUE(!missing.ok && missing.error.contains("none.bin"));
    ASSERT_TRUE(testenv::writeFile(dir.filePath("short.bin"), QByteArray(32767, '\0')));
    const FileOutcome shortFile = ReadImageFile(dir.filePath("short.bin"), image);
    EXPECT_TRUE(!shortFile.ok && shortFile.error.contains("32767")) << shortFile.error.toStdString();
    EXPECT_TRUE(image.isEmpty());

    QByteArray longer(40000, '\0');
    for (int i = 0; i < longer.size(); ++i)
        longer[i] = static_cast<char>(i * 13);
    const QString file = dir.filePath("long.bin");
    ASSERT_TRUE(testenv::writeFile(file, longer));
    const FileOutcome refused = ReadImageFile(file, image);
    EXPECT_TRUE(!refused.ok && refused.error.contains("40000 bytes") && image.isEmpty()) << refused.error.toStdString();
    EXPECT_EQ(LongerThanAnImage(file), 40000);
    ASSERT_TRUE(ReadImageFile(file, image, true));
    EXPECT_EQ(image, longer.left(32768));
    ASSERT_TRUE(WriteImageFile(file, image));
    EXPECT_EQ(testenv::readFile(file), image) << "no old tail";
    EXPECT_FALSE(WriteImageFile(dir.filePath("bad.bin"), QByteArray(10, '\0'))
                 || QFile::exists(dir.filePath("bad.bin")));
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
        QByteArray rest = r.image;
        for (TuneItem item : TransferWalk())
            rest.replace(Info(item).address, Info(item).size, QByteArray(Info(item).size, '\xFF'));
        EXPECT_EQ(rest, QByteArray(ImageFormat::Size, '\xFF')) << "outside the items every byte is 0xFF";
    }
}

TEST(StockProgramsTest, LookupFailuresCarryTheirMessages)
{
    EXPECT_EQ(LoadStockImage(105, "/nonexistent/vntres.dll").message(), "Could not load 'vntres.dll'.");
    QTemporaryDir dir;
    const QString notAModule = dir.filePath("vntres.dll");
    ASSERT_TRUE(testenv::writeFile(notAModule, "this is not a resource module"));
    EXPECT_EQ(LoadStockImage(105, notAModule).status, StockImageResult::ModuleMissing);
}
