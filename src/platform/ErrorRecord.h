#pragma once

#include <QString>
#include <QtGlobal>

// What an operation that lets no failure escape leaves for its caller to read
// right after the call: a non-zero number and a message when something went
// wrong, number 0 and no message when it did not.
struct ErrorRecord
{
    qint32 number = 0;
    QString message;

    bool isSet() const { return number != 0; }
    explicit operator bool() const { return isSet(); }
    void clear()
    {
        number = 0;
        message.clear();
    }
    void set(qint32 n, const QString &m)
    {
        number = n;
        message = m;
    }
    // Keeps the first failure of a sequence of steps.
    void setIfClear(qint32 n, const QString &m)
    {
        if (!isSet())
            set(n, m);
    }
};
