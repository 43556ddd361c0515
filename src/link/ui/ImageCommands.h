#pragma once

#include <QObject>
#include <functional>

class BoxContents;
class frmMain;
class LinkPort;

// File > Load .bin To ROM, Save ROM to .bin and Load Stock Program: whole
// images between files and the box, bypassing the tune model, followed by a
// read of the tune so the screen matches the box.
class ImageCommands : public QObject
{
    Q_OBJECT
public:
    ImageCommands(frmMain &window, LinkPort &port, std::function<bool()> readCommand);

    static constexpr const char *ImageFilter = "Map Files (*.bin)|*.bin|All Files (*.*)|*.*";

    void LoadBinToRom();
    void SaveRomToBin();
    void LoadStockProgram();

    // What the box holds: an image written behind the tune's back makes it
    // unknown until the read that follows.
    BoxContents *box = nullptr;

private:
    frmMain &m_window;
    LinkPort &m_port;
    std::function<bool()> m_read;
};
