// Program start: initialise the program's units, create the main window from the board
// definition and run the message loop until the main window is closed.
#include "SetupCtrls/Register.h"
#include "template.h"

#include "platform/JPEGImage.h"
#include "platform/StdCtrls.h"

#include <functional>
#include <iostream>

// The whole start-up and run of the program. beforeRun, when given, sees the main window once it
// has been created, just before the message loop starts; the start-up benchmark takes its
// timings through it.
int RunSettingsProgram(int argc, char** argv, const std::function<void(TMainForm&)>& beforeRun) {
    JPEGSupport jpeg;
    RegisterStandardClasses();
    RegisterSetupCtrls();
    TApplication application(argc, argv);
    application.SetIcon(":/Settings.ico");
    TMainForm* mainForm = nullptr;
    try {
        mainForm = application.CreateForm<TMainForm>();
    } catch (const std::exception& error) {
        // A board definition that cannot be read leaves nothing to show: report it and stop.
        std::cerr << "tq5210-settings: " << error.what() << '\n';
        application.HandleException(error);
        return 1;
    }
    if (beforeRun)
        beforeRun(*mainForm);
    return application.Run();
}

int main(int argc, char** argv) {
    return RunSettingsProgram(argc, argv, {});
}
