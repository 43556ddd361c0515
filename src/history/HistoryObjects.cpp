#include "history/HistoryObjects.h"

#include <QCryptographicHash>
#include <QDir>
#include <QtEndian>

namespace HistoryObjects {

namespace {

constexpr char Magic[4] = {'V', 'H', 'O', '1'};
constexpr int HashBytes = 32;

QByteArray xorOf(const QByteArray &a, const QByteArray &b)
{
    QByteArray out(a.size(), '\0');
    for (qsizetype i = 0; i < a.size(); ++i)
        out[i] = static_cast<char>(a[i] ^ (i < b.size() ? b[i] : 0));
    return out;
}

} // namespace

QString HashOf(const QByteArray &blob)
{
    return QString::fromLatin1(QCryptographicHash::hash(blob, QCryptographicHash::Sha256).toHex());
}

QString PathOf(const QString &objectsFolder, const QString &hash)
{
    return QDir(objectsFolder).filePath(hash.left(2) + QLatin1Char('/') + hash);
}

QByteArray Encode(const QByteArray &blob, const QByteArray *parent, const QString &parentHash, int parentDepth)
{
    const bool change = parent && parent->size() == blob.size() && parentDepth + 1 < MaxDepth;
    QByteArray out(Magic, 4);
    out.append(static_cast<char>(change ? 1 : 0));
    out.append(static_cast<char>(change ? parentDepth + 1 : 0));
    if (change)
        out.append(QByteArray::fromHex(parentHash.toLatin1()));
    out.append(qCompress(change ? xorOf(blob, *parent) : blob, 9));
    return out;
}

Decoded Decode(const QByteArray &object, int blobSize)
{
    Decoded d;
    if (object.size() < 6 || !object.startsWith(QByteArray(Magic, 4)))
        return d;
    const quint8 kind = static_cast<quint8>(object[4]);
    d.depth = static_cast<quint8>(object[5]);
    if (kind > 1 || d.depth >= MaxDepth || (kind == 0) != (d.depth == 0))
        return d;
    d.change = kind == 1;
    qsizetype at = 6;
    if (d.change) {
        if (object.size() < at + HashBytes)
            return d;
        d.parentHash = QString::fromLatin1(object.mid(at, HashBytes).toHex());
        at += HashBytes;
    }
    const QByteArray packed = object.mid(at);
    // qCompress puts the size first; anything but a blob's size is damage.
    if (packed.size() < 5 || qFromBigEndian<quint32>(packed.constData()) != quint32(blobSize))
        return d;
    d.payload = qUncompress(packed);
    d.ok = d.payload.size() == blobSize;
    return d;
}

} // namespace HistoryObjects
