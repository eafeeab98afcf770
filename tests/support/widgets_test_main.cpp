#include "support/TestEnvironment.h"

#include <QApplication>
#include <gtest/gtest.h>

// Shared main of the window tests: a QApplication (on the platform the test environment names,
// offscreen under CTest) and a private HOME and XDG folders.
int main(int argc, char** argv)
{
    TestEnvironment::isolateHome();
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
