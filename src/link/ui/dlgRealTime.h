#pragma once

#include "link/RealTimeWrite.h"
#include "link/ui/LinkDialog.h"

// One real-time write: "Writing to Vantrelle... please wait", no buttons; it
// closes itself on the acknowledgement, a failure or the time-out. A value
// the box has no place for (see RealTimeFrame) sends nothing and the dialog
// does not appear.
class dlgRealTime : public LinkDialog
{
    Q_OBJECT
public:
    dlgRealTime(LinkPort &port, MessageBoxService &messages, QWidget *parent = nullptr,
                const LinkClock &clock = LinkClock::Steady());

    // The frame to write (see RealTimeFrame); empty sends nothing.
    void InitFrame(const QByteArray &frame) { m_frame = frame; }
    const QByteArray &Frame() const { return m_frame; }

protected:
    std::unique_ptr<LinkExchange> createExchange() override;
    bool userMayCancel() const override { return false; }

private:
    QByteArray m_frame;
};
