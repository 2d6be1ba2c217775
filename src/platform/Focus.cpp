#include "Forms.h"
#include "WidgetBridge.h"

#include <QApplication>

#include <vector>

namespace platform {

namespace {
// The windowed controls from control up to, but not including, its form: innermost first.
std::vector<TWinControl*> chainInForm(TWinControl* control) {
    std::vector<TWinControl*> chain;
    for (TWinControl* c = control; c != nullptr && c->Parent() != nullptr; c = c->Parent())
        chain.push_back(c);
    return chain;
}

bool contains(const std::vector<TWinControl*>& chain, const TWinControl* control) {
    return std::find(chain.begin(), chain.end(), control) != chain.end();
}

void focusMovedTo(QWidget* now) {
    if (now == nullptr)
        return;
    TWinControl* control = TWinControl::FromWidget(now);
    if (control == nullptr || control->IsDestroying())
        return;
    TForm* form = TApplication::ParentFormOf(control);
    if (form == nullptr || form->IsDestroying())
        return;
    TWinControl* previous = form->FocusedControl();
    if (previous == control)
        return;
    // Returning to a window keeps its focused control: only moves inside a form count.
    form->SetFocusedControl(control);
    std::vector<TWinControl*> leaving = chainInForm(previous);
    std::vector<TWinControl*> entering = chainInForm(control);
    for (TWinControl* c : leaving) {
        if (!contains(entering, c))
            c->DoExit();
    }
    for (auto it = entering.rbegin(); it != entering.rend(); ++it) {
        if (!contains(leaving, *it))
            (*it)->DoEnter();
    }
}
} // namespace

void installFocusTracking() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QObject::connect(qApp, &QApplication::focusChanged,
                     [](QWidget*, QWidget* now) { guarded([now] { focusMovedTo(now); }); });
}

} // namespace platform
