#pragma once

#include <QObject>
#include <functional>

class BoxContents;
class MainWindow;
class LinkPort;

// File > Load .bin To ROM, Save ROM to .bin and Load Stock Program: whole
// images between files and the box, bypassing the tune model, followed by a
// read of the tune so the screen matches the box.
class ImageCommands : public QObject
{
    Q_OBJECT
public:
    ImageCommands(MainWindow &window, LinkPort &port, std::function<bool()> readCommand);

    void LoadBinToRom();
    void SaveRomToBin();
    void LoadStockProgram();

    // What the box holds: an image written behind the tune's back makes it
    // unknown until the read that follows.
    BoxContents *box = nullptr;

private:
    MainWindow &m_window;
    LinkPort &m_port;
    std::function<bool()> m_read;
};
