#pragma once

#include <QObject>

class CommandEnabler;
class ConnectionCommands;
class LinkPort;
class LinkSession;
class MainWindow;
class ProgramState;
struct UiServices;

// File > Load .bin To ROM, Save ROM to .bin and Load Stock Program: whole
// images between files and the box, bypassing the tune model, followed by a
// read of the tune so the screen matches the box.
class ImageCommands : public QObject
{
    Q_OBJECT
public:
    ImageCommands(MainWindow &window, ProgramState &state, LinkSession &link, LinkPort &port, UiServices &ui,
                  CommandEnabler &commands, ConnectionCommands &connection);

    void LoadBinToRom();
    void SaveRomToBin();
    void LoadStockProgram();

signals:
    // A stock program went into the box whole and was read back.
    void stockProgramLoaded(int program, const QByteArray &image);

private:
    MainWindow &m_window;
    ProgramState &m_state;
    LinkSession &m_link;
    LinkPort &m_port;
    UiServices &m_ui;
    ConnectionCommands &m_connection;
};
