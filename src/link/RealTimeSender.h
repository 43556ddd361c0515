#pragma once

#include "model/TuneItems.h"

#include <QByteArray>
#include <QString>

// What an editor (or the acquisition loop) calls to write one changed value
// into the box at once while real-time mode is on. The application's
// implementation runs the real-time write in its modal dialog and shows any
// failure to the user; nothing is reported back to the caller.
class RealTimeSender
{
public:
    virtual ~RealTimeSender() = default;
    // index: the entry within the item (0 for one-value items); value: the
    // new raw byte. Call it after the tune holds the new value: for a 16-bit
    // table value (the VQ table) the entry's whole value is taken from the
    // tune and value is not used. Items a real-time write cannot reach and
    // indexes or bytes outside the item send nothing.
    virtual void SendRealTimeValue(TuneItem item, int index, int value) = 0;
    // The version text: five characters, one byte each.
    virtual void SendRealTimeVersion(const QString &text) = 0;
    // Several adjacent bytes of one item at once: data (1 to 256 bytes) goes
    // to the item's place in the box from byte offset on, the bytes laid out
    // as the transfer lays the item out (16-bit values high byte first). Call
    // it after the tune holds the new values. A sender that cannot write
    // blocks writes the values one by one. The version goes through
    // SendRealTimeVersion only.
    virtual void SendRealTimeBytes(TuneItem item, int offset, const QByteArray &data)
    {
        const TuneItemInfo &info = Info(item);
        if (info.reach == RealTimeReach::VersionText)
            return;
        const int width = info.valueWidth;
        for (int i = offset / width; width * i < offset + data.size(); ++i)
            SendRealTimeValue(item, i, width == 1 ? static_cast<unsigned char>(data[i - offset]) : 0);
    }
};
