// Helpers shared by the tests: answering message boxes without a modal window, replacing the
// cursor and screen services, and waiting on conditions instead of sleeping.
#pragma once

#include "platform/Forms.h"

#include <functional>
#include <string>
#include <vector>

// Records every message box shown while it lives and answers each with a fixed reply.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK);
    ~MessageBoxRecorder();
    struct Box {
        std::string Text;
        std::string Caption;
        int Flags;
    };
    std::vector<Box> Boxes;
    int Answer;

private:
    decltype(PlatformServices::MessageBox) FPrevious;
};

// Replaces the screen size and cursor position for as long as it lives.
class FakeDesktop {
public:
    FakeDesktop(int screenWidth, int screenHeight);
    ~FakeDesktop();
    TPoint Cursor{0, 0};
    TPoint ScreenSize;

private:
    PlatformServices FPrevious;
};

// Processes events until condition holds or the timeout passes; returns whether it held.
bool WaitFor(const std::function<bool()>& condition, int timeoutMilliseconds = 5000);

// Lets the event loop run until no more events are pending (paints, posted messages).
void ProcessPendingEvents();

// A pixel of a control as it was last painted into its window's back buffer ($00BBGGRR).
TColor PaintedPixel(TWinControl& window, int x, int y);
