#pragma once

#include "model/TuneHistory.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

// "Compare Tunes": the items in which the tune differs from a second tune, and
// the commands that take items over from it. The window only lists and asks;
// taking over is the caller's (it is an edit like any other).
class CompareWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CompareWindow(QWidget *parent = nullptr);

    // Lists the differences (ItemChange: before = this tune, after = the
    // other) against the tune named name.
    void Fill(const QString &name, const std::vector<ItemChange> &differences);
    // The item number of the selected line, 0 when none.
    int SelectedItem() const;

    QListWidget *list() const { return lstItems; }
    QLabel *label() const { return lblCompare; }
    QPushButton *takeItemButton() const { return buttonTakeItem; }
    QPushButton *takeAllButton() const { return buttonTakeAll; }

    // "Vantrelle contents": 37 values differ
    static QString LineText(const ItemChange &change);

signals:
    void takeItem(int item);
    void takeAll();

private:
    QLabel *lblCompare = nullptr;
    QListWidget *lstItems = nullptr;
    QPushButton *buttonTakeItem = nullptr;
    QPushButton *buttonTakeAll = nullptr;
    QPushButton *buttonClose = nullptr;
};
