#include "editors/ui/TablePanel.h"

#include "editors/EditSession.h"
#include "editors/ValidateNumericRange.h"
#include "editors/ui/FieldEdit.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>

TablePanel::TablePanel(EditSession &edits, MessageBoxService &messages, QWidget *parent)
    : QWidget(parent)
    , m_edits(edits)
    , m_state(edits.state())
    , m_messages(messages)
{
}

TablePanel::~TablePanel()
{
    for (FieldEdit *box : m_allBoxes)
        box->setValidation({});
}

QColor TablePanel::MarkColor()
{
    return QColor(0, 192, 0);
}

bool TablePanel::IsMarked(const FieldEdit *box)
{
    return box && box->palette().color(QPalette::Base) == MarkColor();
}

void TablePanel::setMarked(FieldEdit *box, bool marked)
{
    if (!box)
        return;
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, marked ? MarkColor() : QApplication::palette(box).color(QPalette::Base));
    box->setPalette(pal);
}

FieldEdit *TablePanel::boxAt(const Table &table, int index)
{
    return index >= 0 && index < table.boxes.size() ? table.boxes[index] : nullptr;
}

void TablePanel::addBoxes(QGridLayout *layout, int boxRow, int first, int count, Table &table,
                          const QString &editName, QList<QLabel *> &labels, const QString &labelName)
{
    QWidget *owner = layout->parentWidget() ? layout->parentWidget() : this;
    for (int k = 0; k < count; ++k) {
        const int index = first + k;
        auto *box = new FieldEdit(owner);
        box->setObjectName(QStringLiteral("%1_%2").arg(editName).arg(index));
        box->setMinimumWidth(36);
        box->setAlignment(Qt::AlignRight);
        auto *label = new QLabel(owner);
        label->setObjectName(QStringLiteral("%1_%2").arg(labelName).arg(labels.size()));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        layout->addWidget(box, boxRow, k);
        layout->addWidget(label, boxRow + 1, k);
        labels.append(label);

        if (table.boxes.size() <= index)
            table.boxes.resize(index + 1);
        table.boxes[index] = box;
        m_allBoxes.append(box);
        box->setValidation([this, &table, index] {
            bool cancel = false;
            validate(table, index, cancel);
            return !cancel;
        });
    }
}

void TablePanel::fill(const Table &table)
{
    for (int i = 0; i < table.boxes.size(); ++i)
        if (table.boxes[i])
            table.boxes[i]->setText(QString::number(ItemValue(m_edits.tune(), table.item, i).value_or(0)));
}

void TablePanel::keyPress(Table &table, int index, int keyAscii)
{
    if (keyAscii != 13)
        return;
    bool cancel = false;
    validate(table, index, cancel);
}

void TablePanel::validate(Table &table, int index, bool &cancel)
{
    FieldEdit *box = boxAt(table, index);
    if (!box)
        return;
    const std::optional<double> value =
        ValidateNumericRange(m_messages, window(), box->text(), 0, Info(table.item).MaxValue(), false);
    if (!value) {
        cancel = true; // the box keeps (or takes back) the focus
        return;
    }
    const int newValue = static_cast<int>(*value);
    box->setText(QString::number(newValue));
    m_edits.ChangeValue(table.item, index, newValue);
}
