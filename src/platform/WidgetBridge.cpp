#include "WidgetBridge.h"

#include "Forms.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include <iostream>

namespace platform {

void guarded(const std::function<void()>& work) {
    auto report = [](const std::exception& error) {
        if (Application != nullptr)
            Application->HandleException(error);
        else
            std::cerr << error.what() << '\n';
    };
    try {
        work();
    } catch (const std::exception& error) {
        report(error);
    } catch (...) {
        // Anything else thrown must not reach Qt either, which cannot unwind through its loop.
        report(Exception("Unknown error"));
    }
}

namespace {
constexpr const char* controlProperty = "tq.control";

const QEvent::Type postedMessageType = static_cast<QEvent::Type>(QEvent::registerEventType());

class PostedMessage : public QEvent {
public:
    explicit PostedMessage(const TMessage& message) : QEvent(postedMessageType), Message(message) {}
    TMessage Message;
};

// Watches every control widget for the pointer's arrival and departure and for posted messages.
class MouseWatcher : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == postedMessageType) {
            if (TWinControl* control = controlOfWidget(static_cast<QWidget*>(watched));
                control && !control->IsDestroying()) {
                TMessage message = static_cast<PostedMessage*>(event)->Message;
                guarded([&] { control->Perform(message.Msg, message.WParam, message.LParam); });
            }
            return true;
        }
        switch (event->type()) {
        case QEvent::Enter:
            MouseTracker::update(static_cast<QEnterEvent*>(event)->globalPosition().toPoint());
            break;
        case QEvent::Leave:
            MouseTracker::update();
            break;
        default:
            break;
        }
        return false;
    }
};

MouseWatcher* mouseWatcher() {
    static auto* watcher = new MouseWatcher;
    return watcher;
}

// How many paint events are being handled; Qt must not move widgets while it paints.
int paintDepth = 0;

TControl* hoveredControl = nullptr;  // not owned
TControl* capturedControl = nullptr; // not owned

intptr_t pointParam(int x, int y) {
    return static_cast<intptr_t>(static_cast<uint16_t>(x) |
                                 (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16));
}

// The graphic child under a point of a windowed control, or the control itself.
TControl* targetAt(TWinControl* control, QPoint local) {
    TControl* child = control->ControlAtPos({local.x(), local.y()});
    if (child != nullptr && dynamic_cast<TWinControl*>(child) == nullptr)
        return child;
    return control;
}

QPoint localPoint(TControl* target, TWinControl* window, QPoint windowPoint) {
    TPoint offset = target == window ? TPoint{0, 0} : target->OffsetInWindow();
    return {windowPoint.x() - offset.X, windowPoint.y() - offset.Y};
}
} // namespace

void postMessage(TWinControl* target, const TMessage& message) {
    QCoreApplication::postEvent(target->Widget(), new PostedMessage(message));
}

bool isPainting() {
    return paintDepth > 0;
}

void bindWidget(QWidget* widget, TWinControl* control) {
    widget->setProperty(controlProperty, QVariant::fromValue(static_cast<void*>(control)));
    widget->installEventFilter(mouseWatcher());
}

void unbindWidget(QWidget* widget) {
    widget->setProperty(controlProperty, QVariant());
    widget->removeEventFilter(mouseWatcher());
}

TWinControl* controlOfWidget(const QWidget* widget) {
    QVariant value = widget->property(controlProperty);
    return value.isValid() ? static_cast<TWinControl*>(value.value<void*>()) : nullptr;
}

// --- MouseTracker ---

void MouseTracker::update() {
    update(QCursor::pos());
}

void MouseTracker::update(QPoint globalPosition) {
    guarded([&] {
        TControl* target = nullptr;
        if (QWidget* widget = QApplication::widgetAt(globalPosition)) {
            if (TWinControl* control = TWinControl::FromWidget(widget); control && !control->IsDestroying())
                target = targetAt(control, control->Widget()->mapFromGlobal(globalPosition));
        }
        if (target == hoveredControl)
            return;
        TControl* previous = hoveredControl;
        hoveredControl = target;
        if (previous != nullptr)
            previous->Perform(CM_MOUSELEAVE, 0, 0);
        if (target != nullptr && target == hoveredControl)
            target->Perform(CM_MOUSEENTER, 0, 0);
    });
}

TControl* MouseTracker::hovered() {
    return hoveredControl;
}
TControl* MouseTracker::captured() {
    return capturedControl;
}
void MouseTracker::setCaptured(TControl* control) {
    capturedControl = control;
}

void MouseTracker::forget(const TControl* control) {
    if (hoveredControl == control)
        hoveredControl = nullptr;
    if (capturedControl == control)
        capturedControl = nullptr;
}

// --- PaintedWidget ---

PaintedWidget::PaintedWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void PaintedWidget::paintEvent(QPaintEvent* event) {
    TWinControl* control = controlOfWidget(this);
    if (control == nullptr || control->IsDestroying())
        return;
    QRect dirty = event->rect();
    ++paintDepth;
    guarded([&] {
        control->PaintToBuffer({dirty.left(), dirty.top(), dirty.right() + 1, dirty.bottom() + 1});
    });
    --paintDepth;
    if (TBitmap* buffer = control->BackBuffer(); buffer != nullptr && !buffer->Image().isNull()) {
        QPainter painter(this);
        painter.drawImage(dirty.topLeft(), buffer->Image(), dirty);
    }
}

void PaintedWidget::mousePressEvent(QMouseEvent* event) {
    press(event, false);
}

// A press captures the control under the pointer (a graphic child or this window's own control),
// so the release goes to it wherever the pointer is by then. The second press of a double click
// is a press too: each click of the pair counts.
void PaintedWidget::press(QMouseEvent* event, bool doubleClick) {
    TWinControl* control = controlOfWidget(this);
    if (control == nullptr || event->button() != Qt::LeftButton)
        return;
    guarded([&] {
        QPoint p = event->position().toPoint();
        TControl* target = targetAt(control, p);
        MouseTracker::setCaptured(target);
        QPoint local = localPoint(target, control, p);
        target->Perform(WM_LBUTTONDOWN, 0, pointParam(local.x(), local.y()));
        // The press may have freed the control; the capture forgets a freed control.
        if (doubleClick && MouseTracker::captured() == target)
            target->Perform(WM_LBUTTONDBLCLK, 0, pointParam(local.x(), local.y()));
    });
}

void PaintedWidget::mouseReleaseEvent(QMouseEvent* event) {
    TWinControl* control = controlOfWidget(this);
    if (control == nullptr || event->button() != Qt::LeftButton)
        return;
    guarded([&] {
        TControl* target = MouseTracker::captured();
        MouseTracker::setCaptured(nullptr);
        if (target == nullptr)
            return;
        // The capture may belong to a graphic child that has since moved to another window.
        TWinControl* window = dynamic_cast<TWinControl*>(target);
        if (window == nullptr)
            window = target->Parent();
        if (window == nullptr)
            return;
        QPoint windowPoint = window->Widget()->mapFromGlobal(event->globalPosition().toPoint());
        QPoint local = localPoint(target, window, windowPoint);
        target->Perform(WM_LBUTTONUP, 0, pointParam(local.x(), local.y()));
    });
}

void PaintedWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    press(event, true);
}

void PaintedWidget::mouseMoveEvent(QMouseEvent* event) {
    TWinControl* control = controlOfWidget(this);
    if (control == nullptr)
        return;
    MouseTracker::update(event->globalPosition().toPoint());
    guarded([&] {
        QPoint p = event->position().toPoint();
        TControl* target =
            MouseTracker::captured() != nullptr ? MouseTracker::captured() : targetAt(control, p);
        if (target->Parent() == nullptr && target != control)
            return;
        QPoint local = localPoint(target, control, p);
        target->Perform(WM_MOUSEMOVE, 0, pointParam(local.x(), local.y()));
    });
}

} // namespace platform
