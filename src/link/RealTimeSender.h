#pragma once

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
    // item: the tune item number 1..23; index: the entry within the item
    // (0 for one-value items); value: the new raw byte. Call it after the
    // tune holds the new value: for the VQ table (item 23) the entry's whole
    // 16-bit value is taken from the tune and value is not used. Items the box
    // has no place for (13, 14, 15, 21) and indexes or bytes outside the item
    // send nothing.
    virtual void SendRealTimeValue(int item, int index, int value) = 0;
    // The version text, item 17: five characters, one byte each.
    virtual void SendRealTimeVersion(const QString &text) = 0;
    // Several adjacent bytes of one item at once: data (1 to 256 bytes) goes
    // to the item's place in the box from byte offset on, the bytes laid out
    // as the transfer lays the item out (VQ values high byte first). Call it
    // after the tune holds the new values. A sender that cannot write blocks
    // writes the values one by one. The version (item 17) goes through
    // SendRealTimeVersion only.
    virtual void SendRealTimeBytes(int item, int offset, const QByteArray &data)
    {
        if (item == 17)
            return;
        if (item == 23) {
            for (int i = offset / 2; 2 * i < offset + data.size(); ++i)
                SendRealTimeValue(item, i, 0);
            return;
        }
        for (int k = 0; k < data.size(); ++k)
            SendRealTimeValue(item, offset + k, static_cast<unsigned char>(data[k]));
    }
};
