#pragma once

#include <QElapsedTimer>
#include <QTest>
#include <functional>

// Runs the event loop until done() holds or a generous time has passed.
inline bool waitFor(const std::function<bool()> &done, int timeoutMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
    return true;
}
