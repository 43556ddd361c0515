#include "link/RomTransfer.h"

#include "link/Frames.h"
#include "link/LinkMessages.h"
#include "model/ImageFile.h"

#include <algorithm>

RomTransferExchange::RomTransferExchange(LinkPort &port, const LinkClock &clock, const QString &path,
                                         TransferDirection direction, QObject *parent)
    : ReplyExchange(port, clock, direction == TransferDirection::Read, parent), m_path(path), m_direction(direction),
      m_file(path)
{
    setProgressMaximum(ImageSize);
    setStatusText(QString::fromLatin1(direction == TransferDirection::Read ? LinkMessages::ReadingLabel
                                                                             : LinkMessages::WritingLabel));
}

// Abandoned while running, the writer drops the temporary file and the
// target stays as it was.
RomTransferExchange::~RomTransferExchange() = default;

void RomTransferExchange::fileFailure(const QString &description)
{
    finish(LinkOutcome::failure(LinkResult::FileError, description, MsgIcon::Exclamation));
}

void RomTransferExchange::Start()
{
    if (started() || Finished())
        return;
    markStarted();
    if (m_direction == TransferDirection::Write) {
        if (FileOutcome read = ReadImageFile(m_path, m_image, m_longerAccepted); !read) {
            fileFailure(read.error);
            return;
        }
    } else {
        if (FileOutcome opened = m_file.Open(); !opened) {
            fileFailure(opened.error);
            return;
        }
    }
    if (next() == Next::Complete)
        finish(LinkOutcome::success());
}

RomTransferExchange::Next RomTransferExchange::next()
{
    setProgress(std::min(m_position, ImageSize));
    if (m_position >= ImageSize)
        return Next::Complete;
    const int address = m_position - 1;
    QByteArray frame;
    if (m_direction == TransferDirection::Read) {
        m_reply.Reset(BlockSize + 1, now());
        frame = Frames::ReadRequest(address, BlockSize);
    } else {
        m_reply.Reset(1, now());
        frame = Frames::WriteRequest(address, m_image.mid(address, BlockSize));
        m_position += BlockSize;
    }
    return sendRequest(frame) ? Next::Sent : Next::Failed;
}

void RomTransferExchange::replyAccepted(QByteArray reply)
{
    const bool reading = m_direction == TransferDirection::Read;
    if (reading) {
        // Blocks arrive in address order: each one follows the last.
        if (FileOutcome written = m_file.Write(reply.left(BlockSize)); !written) {
            fileFailure(written.error);
            return;
        }
        m_position += BlockSize;
    }
    ++m_blocksDone;
    if (next() == Next::Complete)
        finish(LinkOutcome::success());
}

void RomTransferExchange::finishing(LinkOutcome &outcome)
{
    if (!m_file.IsOpen())
        return;
    if (!outcome.ok()) {
        m_file.Discard();
        return;
    }
    if (FileOutcome committed = m_file.Commit(); !committed)
        outcome = LinkOutcome::failure(LinkResult::FileError, committed.error, MsgIcon::Exclamation);
}
