#include "model/ImageFile.h"

#include "model/TuneItems.h"

FileOutcome ReadImageFile(const QString &path, QByteArray &image)
{
    QByteArray bytes;
    if (FileOutcome read = ReadFileHead(path, ImageFormat::Size, bytes); !read)
        return read;
    if (bytes.size() < ImageFormat::Size)
        return FileOutcome::failure(
            QStringLiteral("'%1' is not a raw image: it holds %2 bytes where an image holds %3.")
                .arg(path).arg(bytes.size()).arg(ImageFormat::Size));
    image = bytes;
    return FileOutcome::success();
}

FileOutcome WriteImageFile(const QString &path, const QByteArray &image)
{
    if (image.size() != ImageFormat::Size)
        return FileOutcome::failure(QStringLiteral("An image must hold exactly %1 bytes.").arg(ImageFormat::Size));
    return WriteFileAtomically(path, image);
}

void TuneFromImage(const QByteArray &image, Tune &tune)
{
    for (const TuneItemInfo &item : TuneItems()) {
        if (item.InBox())
            StoreItemBytes(tune, item.item, image.mid(item.address, item.size));
        else
            StoreItemBytes(tune, item.item, QByteArray(item.size, '\0'));
    }
}

QByteArray PatchImage(const QByteArray &base, const Tune &tune)
{
    QByteArray image = base;
    for (const TuneItemInfo &item : TuneItems())
        if (item.InBox())
            image.replace(item.address, item.size, ItemBytes(tune, item.item));
    return image;
}
