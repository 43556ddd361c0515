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

    // item 1..23, the index within it and the new value; the tune supplies
    // the VQ entry (item 23) and the version text (item 17).
    void Init(int item, int index, int value, const Tune &tune);
    void InitVersion(const QString &text);
    void InitFrame(const QByteArray &frame) { m_frame = frame; }
    const QByteArray &Frame() const { return m_frame; }

protected:
    std::unique_ptr<LinkExchange> createExchange() override;
    bool userMayCancel() const override { return false; }

private:
    QByteArray m_frame;
};
