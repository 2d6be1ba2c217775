#include "Controls.h"

#include "Forms.h"
#include "QtConversions.h"
#include "WidgetBridge.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QWidget>

#include <algorithm>

namespace {
// Lends a canvas to a control's paint method for the duration of the call only.
template <class PaintMethod> void paintWithCanvas(TCanvas*& slot, TCanvas& canvas, PaintMethod paint) {
    slot = &canvas;
    try {
        paint();
    } catch (...) {
        slot = nullptr;
        throw;
    }
    slot = nullptr;
}
} // namespace

// --- TGraphicControl ---

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}
TGraphicControl::~TGraphicControl() = default;

TCanvas& TGraphicControl::Canvas() {
    if (FCanvas == nullptr)
        throw Exception(std::string(ClassName()) + " can only draw while it is being painted");
    return *FCanvas;
}

void TGraphicControl::Invalidate() {
    TWinControl* parent = Parent();
    if (parent == nullptr || !Visible())
        return;
    TPoint offset = OffsetInWindow();
    parent->Widget()->update(offset.X, offset.Y, Width(), Height());
}

void TGraphicControl::Repaint() {
    TWinControl* parent = Parent();
    if (parent == nullptr || !Visible())
        return;
    TPoint offset = OffsetInWindow();
    parent->Widget()->repaint(offset.X, offset.Y, Width(), Height());
}

void TGraphicControl::PaintOn(TCanvas& canvas) {
    paintWithCanvas(FCanvas, canvas, [this] { Paint(); });
}

// --- TWinControl ---

TWinControl::TWinControl(TComponent* owner, QWidget* widget) : TControl(owner), FWidget(widget) {
    platform::bindWidget(FWidget, this);
    FWidget->setFont(platform::toQFont(Font()));
}

TWinControl::~TWinControl() {
    BeginDestruction();
    if (TForm* form = TApplication::ParentFormOf(this); form != nullptr && form->FocusedControl() == this)
        form->SetFocusedControl(nullptr);
    // Child controls go first, last first, as the window they live in is about to disappear.
    while (!FControls.empty())
        delete FControls.back();
    platform::unbindWidget(FWidget);
    delete FWidget;
}

void TWinControl::InsertControl(TControl* control) {
    FControls.push_back(control);
    control->FParent = this;
}

void TWinControl::RemoveControl(TControl* control) {
    auto found = std::find(FControls.begin(), FControls.end(), control);
    if (found != FControls.end())
        FControls.erase(found);
    control->FParent = nullptr;
}

int TWinControl::IndexOfControl(const TControl* control) const {
    auto found = std::find(FControls.begin(), FControls.end(), control);
    return found == FControls.end() ? -1 : static_cast<int>(found - FControls.begin());
}

TControl* TWinControl::ControlAtPos(TPoint point, bool allowDisabled) const {
    // Windowed children lie above graphic ones; within each kind the last child is on top.
    for (bool windowed : {true, false}) {
        for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
            TControl* c = *it;
            if ((dynamic_cast<TWinControl*>(c) != nullptr) != windowed)
                continue;
            if (c->Visible() && (c->Enabled() || allowDisabled) && PtInRect(c->BoundsRect(), point))
                return c;
        }
    }
    return nullptr;
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c != nullptr; c = c->Parent()) {
        if (c == this)
            return true;
    }
    return false;
}

bool TWinControl::Focused() const {
    return FWidget->hasFocus();
}

bool TWinControl::CanFocus() const {
    return Showing() && Enabled();
}

void TWinControl::SetFocus() {
    FWidget->activateWindow();
    FWidget->setFocus(Qt::OtherFocusReason);
}

void TWinControl::ParentChanged() {
    AttachWidget();
}

void TWinControl::AttachWidget() {
    QWidget* parentWidget = Parent() != nullptr ? Parent()->Widget() : nullptr;
    if (FWidget->parentWidget() != parentWidget)
        FWidget->setParent(parentWidget);
}

void TWinControl::ApplyBounds() {
    if (platform::isPainting()) {
        // A control may move itself while it paints (the board image centres itself); Qt cannot
        // move a widget in the middle of painting, so the widget follows right after the paint.
        QMetaObject::invokeMethod(
            FWidget, [this] { ApplyBounds(); }, Qt::QueuedConnection);
        return;
    }
    if (Parent() != nullptr)
        FWidget->setGeometry(Left(), Top(), Width(), Height());
    else
        FWidget->resize(ClientWidth(), ClientHeight());
}

void TWinControl::ApplyVisible() {
    // A top-level control's window is shown by the form, never by a bare parent change.
    if (Parent() != nullptr)
        FWidget->setVisible(Visible());
}

void TWinControl::Invalidate() {
    FWidget->update();
}
void TWinControl::Repaint() {
    FWidget->repaint();
}

void TWinControl::BringToFront() {
    TControl::BringToFront();
    FWidget->raise();
}

void TWinControl::SetCaption(const std::string& value) {
    TControl::SetCaption(value);
}

void TWinControl::SetEnabled(bool value) {
    TControl::SetEnabled(value);
    FWidget->setEnabled(value);
}

void TWinControl::FontChanged() {
    FWidget->setFont(platform::toQFont(Font()));
    for (TControl* child : FControls) {
        if (child->ParentFont() && !(child->Font() == Font())) {
            child->FFont = Font();
            child->FontChanged();
        }
    }
    Invalidate();
}

void TWinControl::RealignChildren() {
    if (FAligning)
        return;
    FAligning = true;
    struct AligningEnds {
        bool& flag;
        ~AligningEnds() { flag = false; }
    } aligningEnds{FAligning};
    TRect free = ClientRect();
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : std::vector<TControl*>(FControls)) {
            if (c->Align() != align || !c->Visible())
                continue;
            switch (align) {
            case alTop:
                c->SetBounds(free.Left, free.Top, free.Width(), c->Height());
                free.Top += c->Height();
                break;
            case alBottom:
                c->SetBounds(free.Left, free.Bottom - c->Height(), free.Width(), c->Height());
                free.Bottom -= c->Height();
                break;
            case alLeft:
                c->SetBounds(free.Left, free.Top, c->Width(), free.Height());
                free.Left += c->Width();
                break;
            case alRight:
                c->SetBounds(free.Right - c->Width(), free.Top, c->Width(), free.Height());
                free.Right -= c->Width();
                break;
            default:
                c->SetBounds(free.Left, free.Top, free.Width(), free.Height());
                break;
            }
        }
    }
    for (TControl* c : std::vector<TControl*>(FControls)) {
        if (c->Align() == alNone)
            c->AnchorToParentSize(ClientWidth(), ClientHeight());
    }
}

void TWinControl::DoEnter() {
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit)
        OnExit(this);
}

TWinControl* TWinControl::FromWidget(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (TWinControl* control = platform::controlOfWidget(w))
            return control;
    }
    return nullptr;
}

void TWinControl::PaintToBuffer(const TRect& dirty) {
    int width = FWidget->width(), height = FWidget->height();
    if (!FBackBuffer)
        FBackBuffer = std::make_unique<TBitmap>();
    FBackBuffer->SetSize(width, height);
    if (width <= 0 || height <= 0)
        return;
    TCanvas canvas(&FBackBuffer->Image(), {0, 0}, dirty);
    PaintWindow(canvas);
    PaintGraphicChildren(canvas, dirty);
}

void TWinControl::PaintGraphicChildren(TCanvas& canvas, const TRect& dirty) {
    // The list may change while a child paints (a circle brings itself to the front), so walk a copy.
    for (TControl* c : std::vector<TControl*>(FControls)) {
        auto* graphic = dynamic_cast<TGraphicControl*>(c);
        if (graphic == nullptr || !graphic->Visible() || IndexOfControl(graphic) < 0)
            continue;
        TRect bounds = graphic->BoundsRect();
        TRect clip{std::max(bounds.Left, dirty.Left), std::max(bounds.Top, dirty.Top),
                   std::min(bounds.Right, dirty.Right), std::min(bounds.Bottom, dirty.Bottom)};
        if (clip.Width() <= 0 || clip.Height() <= 0)
            continue;
        TCanvas childCanvas(canvas.Target(), {bounds.Left, bounds.Top}, clip);
        graphic->PaintOn(childCanvas);
    }
}

void TWinControl::SetStoredProperty(const std::string& name, const StoredValue& value,
                                    PropertyResolver& resolver) {
    if (name == "TabOrder")
        TabOrder = value.asInteger();
    else if (name == "TabStop")
        TabStop = value.asBoolean();
    else if (name == "OnEnter")
        resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnEnter = std::move(e); });
    else if (name == "OnExit")
        resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnExit = std::move(e); });
    else
        TControl::SetStoredProperty(name, value, resolver);
}

// --- TCustomControl ---

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner, new platform::PaintedWidget()) {}

TCanvas& TCustomControl::Canvas() {
    if (FCanvas == nullptr)
        throw Exception(std::string(ClassName()) + " can only draw while it is being painted");
    return *FCanvas;
}

void TCustomControl::PaintWindow(TCanvas& canvas) {
    paintWithCanvas(FCanvas, canvas, [this] { Paint(); });
}
