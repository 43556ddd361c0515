#pragma once

#include "link/BulkTransfer.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// The ROM transfer: the box's whole 32 KB memory in 128 blocks of 256 bytes,
// between the box and a raw image file, address order.
//
// Writing (file to box): the file is read before anything is sent; a missing
// file or one holding fewer than 32768 bytes is refused with a message and
// the box is left alone. Of a longer file only the first 32768 bytes go out.
// A write that stops early leaves the box with the file's bytes in the blocks
// acknowledged so far and its old contents after them.
//
// Reading (box to file): the file is opened (created when missing) before the
// first request, so a file that cannot be written stops the transfer before
// it starts. Each accepted block goes straight into the file at its place. A
// completed read leaves the file holding exactly the 32768 bytes read (a
// longer old file loses its tail). A read that stops early leaves the blocks
// received so far in the file and the rest of it as it was: an existing file
// keeps its old bytes after them; a file the read created holds just those
// blocks (k x 256 bytes, too short to be taken for an image), and when not
// one block arrived it is removed again.
class RomTransferExchange : public ReplyExchange
{
    Q_OBJECT
public:
    static constexpr int BlockSize = 256;
    static constexpr int Blocks = 128;
    static constexpr int ImageSize = BlockSize * Blocks;

    RomTransferExchange(LinkPort &port, const LinkClock &clock, const QString &path,
                        TransferDirection direction, QObject *parent = nullptr);
    ~RomTransferExchange() override;

    void Start() override;

    TransferDirection Direction() const { return m_direction; }
    QString Path() const { return m_path; }
    // The 1-based file position of the next block.
    int FilePosition() const { return m_position; }
    // Blocks stored into the file, or acknowledged by the box.
    int BlocksDone() const { return m_blocksDone; }

protected:
    void finishing(LinkOutcome &outcome) override;

private:
    enum class Next { Sent, Complete, Failed };
    Next next();
    void replyAccepted(QByteArray reply) override;
    void fileFailure(const QString &description);

    QString m_path;
    TransferDirection m_direction;
    QFile m_file;
    bool m_createdFile = false;
    QByteArray m_image; // writing: the file's image
    int m_position = 1;
    int m_blocksDone = 0;
};
