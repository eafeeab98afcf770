#include "support/TestEnvironment.h"

#include <QApplication>
#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>

// Shared main: a QApplication for widget tests, a QCoreApplication otherwise, and a private
// HOME and XDG folders for every test binary.
int main(int argc, char** argv)
{
    TestEnvironment::isolateHome();
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QCoreApplication> app;
    if (qEnvironmentVariableIntValue("TOLVANE_TEST_WIDGETS") == 1)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
