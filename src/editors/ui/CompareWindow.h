#pragma once

#include "editors/ComparePlan.h"
#include "model/TuneHistory.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;
class QSplitter;
class QTableWidget;

// "Compare Tunes": the items in which the tune differs from a second tune,
// every differing value in a table that sorts by any column and copies as
// tab-separated lines, and the commands that take items over from it. The window only lists and asks;
// taking over is the caller's (it is an edit like any other).
class CompareWindow : public QDialog
{
    Q_OBJECT
public:
    explicit CompareWindow(QWidget *parent = nullptr);

    // Lists the differences (ItemChange: before = this tune, after = the
    // other) against the tune named name.
    void Fill(const QString &name, const std::vector<ItemChange> &differences,
              const std::vector<ComparePlan::ValueDifference> &values);
    // The item of the selected line, none when no line is selected.
    std::optional<TuneItem> SelectedItem() const;

    QListWidget *list() const { return lstItems; }
    QLabel *label() const { return lblCompare; }
    QPushButton *takeItemButton() const { return buttonTakeItem; }
    QPushButton *takeAllButton() const { return buttonTakeAll; }
    QTableWidget *valuesTable() const { return tblValues; }
    QPushButton *copyButton() const { return buttonCopy; }

    // The selected rows of the values table (every row when none is
    // selected) as shown, under a line of column titles, tab-separated;
    // also put on the clipboard by Copy and Ctrl+C.
    QString ValuesText() const;

    // "Vantrelle contents": 37 values differ
    static QString LineText(const ItemChange &change);

signals:
    void takeItem(TuneItem item);
    void takeAll();

private:
    void fitToContents();

    QLabel *lblCompare = nullptr;
    QSplitter *m_split = nullptr;
    QListWidget *lstItems = nullptr;
    QTableWidget *tblValues = nullptr;
    QPushButton *buttonCopy = nullptr;
    QPushButton *buttonTakeItem = nullptr;
    QPushButton *buttonTakeAll = nullptr;
    QPushButton *buttonClose = nullptr;
};
