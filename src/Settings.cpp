// Program start: initialise the program's units, create the main window from the board
// definition and run the message loop until the main window is closed.
#include "SetupCtrls/Register.h"
#include "template.h"

#include "platform/JPEGImage.h"
#include "platform/StdCtrls.h"

#include <QApplication>

#include <iostream>

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    JPEGSupport jpeg;
    RegisterStandardClasses();
    RegisterSetupCtrls();
    TApplication application;
    application.SetIcon(":/Settings.ico");
    try {
        application.CreateForm<TMainForm>();
    } catch (const std::exception& error) {
        // A board definition that cannot be read leaves nothing to show: report it and stop.
        std::cerr << "tq5210-settings: " << error.what() << '\n';
        application.HandleException(error);
        return 1;
    }
    return application.Run();
}
