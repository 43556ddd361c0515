// The image reader: the tune regions of a raw image. The fuzzer's bytes are
// the top of a 32 KB image (where every tune region lies, from 0x6AD1 up), the
// rest zeros. Every region must come out of the image and go back into it
// unchanged.

#include "FuzzCheck.h"

#include "model/ImageFile.h"
#include "model/TuneItems.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    QByteArray image(ImageFormat::Size, '\0');
    const qsizetype n = std::min<qsizetype>(bytes.size(), ImageFormat::Size);
    image.replace(ImageFormat::Size - n, n, bytes.right(n));

    Tune tune;
    TuneFromImage(image, tune);
    for (const TuneItemInfo &item : TuneItems()) {
        if (item.InBox())
            FUZZ_CHECK(ItemBytes(tune, item.item) == image.mid(item.address, item.size));
        else
            FUZZ_CHECK(ItemBytes(tune, item.item) == QByteArray(item.size, '\0'));
    }
    FUZZ_CHECK(PatchImage(image, tune) == image);
    return 0;
}
