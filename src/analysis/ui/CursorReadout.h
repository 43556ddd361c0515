#pragma once

#include <QWidget>
#include <cstddef>

struct DataLog;
class QLabel;
class QTableWidget;

// The datalog viewer's readout: every column's value at the playback
// cursor and, once both are set, at cursors A and B with the difference
// B - A, and the time between them.
class CursorReadout : public QWidget
{
    Q_OBJECT
public:
    explicit CursorReadout(QWidget *parent = nullptr);

    // Rows are -1 where there is no such cursor.
    void showRows(const DataLog &log, std::ptrdiff_t cursor, std::ptrdiff_t a, std::ptrdiff_t b);

    QTableWidget *table() const { return m_table; }
    QLabel *deltaLabel() const { return m_delta; }

private:
    QLabel *m_cursor = nullptr;
    QLabel *m_delta = nullptr;
    QTableWidget *m_table = nullptr;
};
