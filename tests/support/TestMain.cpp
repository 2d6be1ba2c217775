// Runs the tests with Qt on its headless platform, the application object and the program's
// classes registered, as the program itself sets them up.
#include "SetupCtrls/Register.h"
#include "platform/Forms.h"
#include "platform/JPEGImage.h"
#include "platform/StdCtrls.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    TApplication application;
    JPEGSupport jpeg;
    RegisterStandardClasses();
    RegisterSetupCtrls();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
