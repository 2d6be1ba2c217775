// The yardstick for the start-up benchmark: a minimal Qt Widgets program that shows one window
// and quits. It prints the same figures as StartupProbe: when the application first went idle
// after showing the window and when the window was first painted (microseconds since the epoch).
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "WallClock.h"

#include <cstdio>

namespace {

long long firstIdle = 0;
long long firstPaint = 0;

void quitOnceBothAreKnown() {
    if (firstIdle != 0 && firstPaint != 0)
        QCoreApplication::quit();
}

class Window : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        if (firstPaint == 0) {
            firstPaint = wallClockMicroseconds();
            quitOnceBothAreKnown();
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    Window window;
    window.resize(812, 612);
    window.show();
    // A zero timer fires once the event queue has been emptied: the application's first idle.
    QTimer::singleShot(0, [] {
        firstIdle = wallClockMicroseconds();
        quitOnceBothAreKnown();
    });
    int status = QApplication::exec();
    std::printf("idle=%lld paint=%lld\n", firstIdle, firstPaint);
    return status;
}
