#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// Shared main of the tests without windows: a QCoreApplication and a private HOME and XDG folders.
int main(int argc, char** argv)
{
    TestEnvironment::isolateHome();
    testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
