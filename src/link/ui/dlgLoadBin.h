#pragma once

#include <QDialog>

class LinkPort;
class MessageBoxService;
class QRadioButton;

// "Load Stock Settings": writes one of the four stock programs from the
// resource module into the box. Loaded() tells the main window to read the
// tune back afterwards.
class dlgLoadBin : public QDialog
{
    Q_OBJECT
public:
    dlgLoadBin(LinkPort &port, MessageBoxService &messages, QWidget *parent = nullptr);

    bool Loaded() const { return m_bLoaded; }
    // How long the whole image took to go into the box; -1 when it did not.
    qint64 TransferMs() const { return m_transferMs; }
    // The program that went into the box whole, and its image (0 and empty
    // when none did).
    int Program() const { return m_program; }
    QByteArray Image() const { return m_image; }
    // The module to load from; the program's own by default.
    void SetModulePath(const QString &path) { m_modulePath = path; }
    QRadioButton *option(int resource) const;

public slots:
    void OKButton_Click();

private:
    // The resource number of the selected option, 0 when none is selected.
    int selectedResource() const;

    LinkPort &m_port;
    MessageBoxService &m_messages;
    QString m_modulePath;
    bool m_bLoaded = false;
    qint64 m_transferMs = -1;
    int m_program = 0;
    QByteArray m_image;
};
