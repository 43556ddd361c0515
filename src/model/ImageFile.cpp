#include "model/ImageFile.h"

#include <QFileInfo>

#include "model/TuneItems.h"

FileOutcome ReadImageFile(const QString &path, QByteArray &image, bool longerAccepted)
{
    QByteArray bytes;
    if (FileOutcome read = ReadFileHead(path, ImageFormat::Size + 1, bytes); !read)
        return read;
    if (bytes.size() < ImageFormat::Size)
        return FileOutcome::failure(
            QStringLiteral("'%1' is not a raw image: it holds %2 bytes where an image holds %3.")
                .arg(path).arg(bytes.size()).arg(ImageFormat::Size));
    if (bytes.size() > ImageFormat::Size && !longerAccepted)
        return FileOutcome::failure(
            QStringLiteral("'%1' is not a raw image: it holds %2 bytes where an image holds exactly %3.")
                .arg(path).arg(QFileInfo(path).size()).arg(ImageFormat::Size));
    bytes.truncate(ImageFormat::Size);
    image = bytes;
    return FileOutcome::success();
}

QString LongerImageWarning(const QString &path, qint64 size)
{
    return QStringLiteral("'%1' holds %2 bytes, not the %3 of a ROM image: it may be no image at all. Written, "
                          "its first %3 bytes would replace the whole of the Vantrelle's memory.\n\nWrite them "
                          "anyway?")
        .arg(path)
        .arg(size)
        .arg(ImageFormat::Size);
}

qint64 LongerThanAnImage(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() > ImageFormat::Size ? info.size() : -1;
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
