#pragma once

#include "link/BulkTransfer.h"
#include "platform/FileIO.h"

#include <QByteArray>
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
// Reading (box to file): the blocks go into a temporary file beside the
// target, created before the first request, so a target that cannot be
// written (a read-only folder, or a folder, pipe or device in its place)
// stops the transfer before it starts. Only a completed read renames the
// temporary file over the target, which then holds exactly the 32768 bytes
// read. A read that fails or is cancelled leaves an existing file exactly as
// it was and no file where there was none: a half-read image never passes
// for a whole one.
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

    // Writing: a file longer than an image sends its first 32768 bytes
    // (the user was warned and said so); else it is refused.
    void AcceptLongerImage() { m_longerAccepted = true; }

    TransferDirection Direction() const { return m_direction; }
    QString Path() const { return m_path; }
    // The 1-based file position of the next block.
    int FilePosition() const { return m_position; }
    // Blocks received (not yet in the file until the read completes), or
    // acknowledged by the box.
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
    AtomicFileWriter m_file; // reading: the image on its way to the target
    QByteArray m_image; // writing: the file's image
    bool m_longerAccepted = false;
    int m_position = 1;
    int m_blocksDone = 0;
};
