// Entry point of the tests that need no widgets: a QCoreApplication, with
// the user's folders replaced by fresh private ones.

#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QTemporaryDir isolated;
    testenv::isolate(isolated.path());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
