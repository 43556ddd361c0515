#pragma once

#include "link/RomTransfer.h"
#include "link/ui/LinkDialog.h"

class QLabel;
class QProgressBar;
class QPushButton;

// "ROM Transfer": the whole 32 KB between the box and a raw image file;
// Initialize(path, 3) reads the box into the file, Initialize(path, 4) writes
// the file into the box. Outcome() tells the caller how it ended.
class dlgXferROM : public LinkDialog
{
    Q_OBJECT
public:
    dlgXferROM(LinkPort &port, MessageBoxService &messages, QWidget *parent = nullptr,
               const LinkClock &clock = LinkClock::Steady());

    void Initialize(const QString &path, int mode);
    // Writing: the first 32768 bytes of a longer file are the image.
    void AcceptLongerImage() { m_longerAccepted = true; }

protected:
    std::unique_ptr<LinkExchange> createExchange() override;

private:
    QString m_path;
    int m_mode = 3;
    bool m_longerAccepted = false;
    QLabel *m_status;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
};
