// The platform's private link between Qt widgets and controls: the widget classes that forward
// Qt's events to their control, the guard that keeps exceptions from crossing into Qt, and the
// mouse tracking that turns Qt's enter/leave/move events into CM_MOUSEENTER / CM_MOUSELEAVE.
#pragma once

#include "Controls.h"

#include <QPoint>
#include <QWidget>

class QEvent;

namespace platform {

// Runs work; an exception is handed to the application's exception handler and stops there.
void guarded(const std::function<void()>& work);

// The widget of a custom-painted control: paints the control's back buffer, routes the mouse.
class PaintedWidget : public QWidget {
public:
    explicit PaintedWidget(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void press(QMouseEvent* event, bool doubleClick);
};

// Follows Qt's focus changes and fires OnExit and OnEnter of the windowed controls the focus
// leaves and enters inside a form, as each form remembers its own focused control.
void installFocusTracking();

// Queues a message for a control's window procedure through the Qt event queue.
void postMessage(TWinControl* target, const TMessage& message);

// Whether a paint event is being handled right now.
bool isPainting();

// Ties a widget to its control so events can find the control again.
void bindWidget(QWidget* widget, TWinControl* control);
void unbindWidget(QWidget* widget);
TWinControl* controlOfWidget(const QWidget* widget);

// Mouse tracking across all controls of the program.
class MouseTracker {
public:
    // Recomputes the control under the given screen point and sends leave, then enter, on change.
    static void update(QPoint globalPosition);
    static void update();
    static TControl* hovered();
    // A control being destroyed is forgotten by the tracker and the mouse capture.
    static void forget(const TControl* control);
    static TControl* captured();
    static void setCaptured(TControl* control);
};

} // namespace platform
