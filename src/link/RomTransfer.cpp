#include "link/RomTransfer.h"

#include "link/Frames.h"
#include "link/LinkMessages.h"
#include "model/ImageFile.h"

#include <QFileInfo>
#include <algorithm>

RomTransferExchange::RomTransferExchange(LinkPort &port, const LinkClock &clock, const QString &path,
                                         TransferDirection direction, QObject *parent)
    : ReplyExchange(port, clock, direction == TransferDirection::Read, parent), m_path(path), m_direction(direction)
{
    setProgressMaximum(ImageSize);
    setStatusText(QString::fromLatin1(direction == TransferDirection::Read ? LinkMessages::ReadingLabel
                                                                             : LinkMessages::WritingLabel));
}

RomTransferExchange::~RomTransferExchange()
{
    // Abandoned while running: settle the file as a cancel would, without
    // telling anyone.
    if (m_file.isOpen()) {
        LinkOutcome abandoned = LinkOutcome::cancelled();
        finishing(abandoned);
    }
}

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
        if (FileOutcome read = ReadImageFile(m_path, m_image); !read) {
            fileFailure(read.error);
            return;
        }
    } else {
        const bool existed = QFileInfo::exists(m_path);
        m_file.setFileName(m_path);
        if (!m_file.open(QIODevice::ReadWrite)) {
            fileFailure(QStringLiteral("Could not open '%1': %2").arg(m_path, m_file.errorString()));
            return;
        }
        m_createdFile = !existed;
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
        const QByteArray block = reply.left(BlockSize);
        if (!m_file.seek(m_position - 1) || m_file.write(block) != block.size() || !m_file.flush()) {
            fileFailure(QStringLiteral("Could not write '%1': %2").arg(m_path, m_file.errorString()));
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
    if (!m_file.isOpen())
        return;
    if (outcome.ok()) {
        // An older, longer file must not keep its tail behind the image.
        if (!m_file.resize(ImageSize) || !m_file.flush())
            outcome = LinkOutcome::failure(
                LinkResult::FileError,
                QStringLiteral("Could not write '%1': %2").arg(m_path, m_file.errorString()),
                MsgIcon::Exclamation);
    }
    m_file.close();
    if (!outcome.ok() && m_createdFile && m_blocksDone == 0)
        QFile::remove(m_path);
}
