#pragma once

#include "model/TuneItems.h"
#include "shell/Panels.h"

#include <QList>
#include <QWidget>
#include <functional>

class EditSession;
class FieldEdit;
class MessageBoxService;
class QGridLayout;
class QLabel;
class ProgramState;

// What the small table panels (TTP, ignition dwell, VQ) share: a table of the
// tune shown as a row of text boxes with a label under each, the check of a
// typed entry (a changed one is committed through the edit session), and the
// green mark of the entry the engine is using.
class TablePanel : public QWidget, public TracingPanel
{
    Q_OBJECT
public:
    ~TablePanel() override;
    QWidget *widget() override { return this; }

    // A marked box's background.
    static QColor MarkColor();
    static bool IsMarked(const FieldEdit *box);

protected:
    struct Table
    {
        QList<FieldEdit *> boxes;
        TuneItem item = TuneItem::TTPMin; // the values, their range and their real-time write
    };

    TablePanel(EditSession &edits, MessageBoxService &messages, QWidget *parent);

    // count boxes named editName in a row of the grid layout, starting at
    // column 0 of row boxRow, with a label named labelName under each. The
    // boxes run the table's check for their index (first + position).
    void addBoxes(QGridLayout *layout, int boxRow, int first, int count, Table &table,
                  const QString &editName, QList<QLabel *> &labels, const QString &labelName);

    void fill(const Table &table);
    void keyPress(Table &table, int index, int keyAscii);
    void validate(Table &table, int index, bool &cancel);
    static void setMarked(FieldEdit *box, bool marked);
    static FieldEdit *boxAt(const Table &table, int index);

    EditSession &m_edits;
    ProgramState &m_state;
    MessageBoxService &m_messages;

private:
    QList<FieldEdit *> m_allBoxes;
};
