#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The CRC-32 of zlib and PNG (reflected polynomial 0xEDB88320): what a
// journal record carries so that a record torn by a crash is recognised.
quint32 Crc32(QByteArrayView bytes);
