#include "TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>

MessageBoxRecorder::MessageBoxRecorder(int answer) : Answer(answer), FPrevious(Services().MessageBox) {
    Services().MessageBox = [this](const std::string& text, const std::string& caption, int flags) {
        Boxes.push_back({text, caption, flags});
        return Answer;
    };
}

MessageBoxRecorder::~MessageBoxRecorder() {
    Services().MessageBox = FPrevious;
}

FakeDesktop::FakeDesktop(int screenWidth, int screenHeight)
    : ScreenSize{screenWidth, screenHeight}, FPrevious(Services()) {
    Services().CursorPos = [this] {
        return Cursor;
    };
    Services().ScreenSize = [this] {
        return ScreenSize;
    };
}

FakeDesktop::~FakeDesktop() {
    Services().CursorPos = FPrevious.CursorPos;
    Services().ScreenSize = FPrevious.ScreenSize;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMilliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMilliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void ProcessPendingEvents() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

TColor PaintedPixel(TWinControl& window, int x, int y) {
    TBitmap* buffer = window.BackBuffer();
    if (buffer == nullptr || x < 0 || y < 0 || x >= buffer->Width() || y >= buffer->Height())
        return clNone;
    QRgb value = buffer->Image().pixel(x, y);
    return RGB(qRed(value), qGreen(value), qBlue(value));
}
