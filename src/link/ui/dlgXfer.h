#pragma once

#include "link/BulkTransfer.h"
#include "link/ui/LinkDialog.h"

class QLabel;
class QProgressBar;
class QPushButton;

// "Transferring Data": the bulk tune read (State 3) or write (State 4). The
// tune is read into or written from the Tune it is given. Success is true
// only when all items went through; flags and the tree are the caller's.
class dlgXfer : public LinkDialog
{
    Q_OBJECT
public:
    dlgXfer(LinkPort &port, Tune &tune, MessageBoxService &messages, QWidget *parent = nullptr,
            const LinkClock &clock = LinkClock::Steady());

    void SetState(int state) { m_state = state; }
    int State() const { return m_state; }
    bool Success() const { return Outcome().ok(); }
    // Transfers only these items (a write of the changes); all by default.
    void SetItems(const std::vector<TuneItem> &items) { m_items = items; m_someItems = true; }
    // The items the box accepted or the tune received, in walk order.
    int ItemsDone() const { return m_itemsDone; }

protected:
    std::unique_ptr<LinkExchange> createExchange() override;
    void exchangeEnded() override;

private:
    Tune &m_tune;
    int m_state = 3;
    std::vector<TuneItem> m_items;
    bool m_someItems = false;
    int m_itemsDone = 0;
    QLabel *m_status;
    QLabel *m_item;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
};
