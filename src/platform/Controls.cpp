#include "Controls.h"

#include "WidgetBridge.h"

#include <QWidget>

#include <algorithm>
#include <map>

using platform::MouseTracker;

// --- TControl ---

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    MouseTracker::forget(this);
    if (TWinControl* parent = FParent; parent != nullptr) {
        // A graphic control's picture lives in its parent's window until that is painted again.
        if (FVisible && !parent->IsDestroying())
            parent->Invalidate();
        parent->RemoveControl(this);
        RequestAlign(parent);
    }
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent)
        return;
    if (parent == this)
        throw EComponentError("A control cannot have itself as its parent");
    if (TWinControl* previous = FParent; previous != nullptr) {
        previous->Invalidate();
        previous->RemoveControl(this);
        RequestAlign(previous);
    }
    if (parent != nullptr)
        parent->InsertControl(this);
    ParentChanged();
    ApplyBounds();
    ApplyVisible();
    UpdateAnchorRules();
    RequestAlign(FParent);
    if (FParent != nullptr && FParentFont && !(FFont == FParent->Font())) {
        FFont = FParent->Font();
        FontChanged();
    }
    Invalidate();
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (FAutoSize && AutoSizeApplies()) {
        int proposedWidth = width, proposedHeight = height;
        if (CanAutoSize(proposedWidth, proposedHeight)) {
            width = proposedWidth;
            height = proposedHeight;
        }
    }
    if (FConstraints.MaxWidth > 0)
        width = std::min(width, FConstraints.MaxWidth);
    if (FConstraints.MaxHeight > 0)
        height = std::min(height, FConstraints.MaxHeight);
    width = std::max({width, FConstraints.MinWidth, 0});
    height = std::max({height, FConstraints.MinHeight, 0});
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight)
        return;
    bool graphicMoved = FParent != nullptr && !InheritsFrom("TWinControl") && Showing();
    if (graphicMoved)
        FParent->Invalidate(); // the old area must be repainted too
    int oldClientWidth = ClientWidth(), oldClientHeight = ClientHeight();
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    ApplyBounds();
    UpdateAnchorRules();
    if (graphicMoved)
        Invalidate();
    if (auto* windowed = dynamic_cast<TWinControl*>(this);
        windowed && (oldClientWidth != ClientWidth() || oldClientHeight != ClientHeight()))
        windowed->RealignChildren();
    RequestAlign(FParent);
    BoundsChanged();
}

void TControl::SetVisible(bool value) {
    if (value == FVisible)
        return;
    FVisible = value;
    ApplyVisible();
    if (FParent != nullptr)
        FParent->Invalidate();
    RequestAlign(FParent);
}

void TControl::SetEnabled(bool value) {
    if (value == FEnabled)
        return;
    FEnabled = value;
    Invalidate();
}

bool TControl::Showing() const {
    for (const TControl* c = this; c != nullptr; c = c->FParent) {
        if (!c->FVisible)
            return false;
    }
    return true;
}

void TControl::SetAlign(TAlign value) {
    if (value == FAlign)
        return;
    FAlign = value;
    if (FParent != nullptr)
        FParent->RealignChildren();
}

void TControl::SetAnchors(TAnchors value) {
    if (value == FAnchors)
        return;
    FAnchors = value;
    UpdateAnchorRules();
}

void TControl::SetConstraints(const TSizeConstraints& value) {
    FConstraints = value;
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetAutoSize(bool value) {
    if (value == FAutoSize)
        return;
    FAutoSize = value;
    AdjustSize();
}

bool TControl::AutoSizeApplies() const {
    return FParent != nullptr && !IsLoading() && !IsDestroying();
}

void TControl::AdjustSize() {
    // Sizing follows the content only once the control stands in a window and is fully loaded.
    if (!FAutoSize || !AutoSizeApplies())
        return;
    int width = FWidth, height = FHeight;
    if (CanAutoSize(width, height))
        SetBounds(FLeft, FTop, width, height);
}

void TControl::SetCaption(const std::string& value) {
    if (value == FCaption)
        return;
    FCaption = value;
    Invalidate();
}

void TControl::SetColor(TColor value) {
    if (value == FColor)
        return;
    FColor = value;
    Invalidate();
}

void TControl::SetFont(const TFont& value) {
    FParentFont = false;
    if (value == FFont)
        return;
    FFont = value;
    FontChanged();
}

void TControl::FontChanged() {
    Invalidate();
}

void TControl::Invalidate() {}
void TControl::Repaint() {}

void TControl::BringToFront() {
    if (FParent == nullptr)
        return;
    auto& siblings = FParent->FControls;
    auto found = std::find(siblings.begin(), siblings.end(), this);
    if (found != siblings.end() && found + 1 != siblings.end()) {
        siblings.erase(found);
        siblings.push_back(this);
    }
    Invalidate();
}

TPoint TControl::OffsetInWindow() const {
    TPoint offset{0, 0};
    const TControl* c = this;
    while (c != nullptr && dynamic_cast<const TWinControl*>(c) == nullptr) {
        offset.X += c->FLeft;
        offset.Y += c->FTop;
        c = c->FParent;
    }
    return offset;
}

TPoint TControl::ClientToScreen(TPoint point) const {
    const TControl* c = this;
    while (c != nullptr && dynamic_cast<const TWinControl*>(c) == nullptr) {
        point.X += c->FLeft;
        point.Y += c->FTop;
        c = c->FParent;
    }
    if (c == nullptr)
        return point;
    QPoint global = static_cast<const TWinControl*>(c)->Widget()->mapToGlobal(QPoint(point.X, point.Y));
    return {global.x(), global.y()};
}

TPoint TControl::ScreenToClient(TPoint point) const {
    TPoint origin = ClientToScreen({0, 0});
    return {point.X - origin.X, point.Y - origin.Y};
}

intptr_t TControl::Perform(uint32_t msg, intptr_t wParam, intptr_t lParam) {
    TMessage message{msg, wParam, lParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& message) {
    auto x = static_cast<int16_t>(message.LParam & 0xFFFF);
    auto y = static_cast<int16_t>((message.LParam >> 16) & 0xFFFF);
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
        FMouseDownInside = true;
        MouseDown(mbLeft, x, y);
        break;
    case WM_LBUTTONUP: {
        bool wasDown = FMouseDownInside;
        FMouseDownInside = false;
        MouseUp(mbLeft, x, y);
        if (wasDown && (ControlStyle & csClickEvents) && PtInRect(ClientRect(), {x, y}))
            Click();
        break;
    }
    case WM_LBUTTONDBLCLK:
        DblClick();
        break;
    case WM_MOUSEMOVE:
        MouseMove(x, y);
        break;
    default:
        DefaultHandler(message);
    }
}

void TControl::DefaultHandler(TMessage& message) {
    // The pointer's arrival and departure are heard by every container up to the form.
    if ((message.Msg == CM_MOUSEENTER || message.Msg == CM_MOUSELEAVE) && FParent != nullptr)
        FParent->Perform(message.Msg, 0, message.LParam);
}

void TControl::MouseDown(TMouseButton button, int x, int y) {
    if (OnMouseDown)
        OnMouseDown(this, button, x, y);
}

void TControl::MouseUp(TMouseButton button, int x, int y) {
    if (OnMouseUp)
        OnMouseUp(this, button, x, y);
}

void TControl::MouseMove(int x, int y) {
    if (OnMouseMove)
        OnMouseMove(this, x, y);
}

void TControl::Click() {
    if (OnClick)
        OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick)
        OnDblClick(this);
}

void TControl::RequestAlign(TWinControl* parent) {
    if (parent != nullptr && FAlign != alNone && !parent->IsDestroying())
        parent->RealignChildren();
}

void TControl::UpdateAnchorRules() {
    if (FParent == nullptr) {
        FAnchorRulesValid = false;
        return;
    }
    FAnchorOrigin = {FLeft, FTop};
    FAnchorParentSize = {FParent->ClientWidth(), FParent->ClientHeight()};
    FAnchorRulesValid = true;
    // The size at the time the rule was taken is part of the rule.
    FAnchorSize = {FWidth, FHeight};
}

void TControl::AnchorToParentSize(int parentWidth, int parentHeight) {
    if (!FAnchorRulesValid || FAnchorParentSize.X <= 0 || FAnchorParentSize.Y <= 0)
        return;
    auto place = [](bool nearAnchor, bool farAnchor, int origin, int size, int oldParent, int newParent,
                    int& position, int& length) {
        length = size;
        position = origin;
        if (nearAnchor && farAnchor)
            length = size + (newParent - oldParent);
        else if (farAnchor)
            position = origin + (newParent - oldParent);
        else if (!nearAnchor)
            // Neither edge anchored: the control keeps its centre at the same proportion.
            position =
                static_cast<int>(static_cast<int64_t>(origin + size / 2) * newParent / oldParent) - size / 2;
    };
    int left, width, top, height;
    place(FAnchors & akLeft, FAnchors & akRight, FAnchorOrigin.X, FAnchorSize.X, FAnchorParentSize.X,
          parentWidth, left, width);
    place(FAnchors & akTop, FAnchors & akBottom, FAnchorOrigin.Y, FAnchorSize.Y, FAnchorParentSize.Y,
          parentHeight, top, height);
    TPoint origin = FAnchorOrigin, parentSize = FAnchorParentSize, size = FAnchorSize;
    SetBounds(left, top, width, height);
    // Anchoring moves the control without changing the rule it follows.
    FAnchorOrigin = origin;
    FAnchorParentSize = parentSize;
    FAnchorSize = size;
    FAnchorRulesValid = true;
}

namespace {
const std::map<std::string, TAlign> alignNames = {{"alNone", alNone},     {"alTop", alTop},
                                                  {"alBottom", alBottom}, {"alLeft", alLeft},
                                                  {"alRight", alRight},   {"alClient", alClient}};
const std::map<std::string, TAnchors> anchorNames = {
    {"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}};
const std::map<std::string, uint8_t> fontStyleNames = {
    {"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}};

TColor colorValue(const StoredValue& value) {
    static const std::map<std::string, TColor> colorNames = {
        {"clBlack", clBlack},          {"clMaroon", clMaroon},   {"clGray", clGray},
        {"clYellow", clYellow},        {"clRed", clRed},         {"clBlue", clBlue},
        {"clWhite", clWhite},          {"clBtnFace", clBtnFace}, {"clWindow", clWindow},
        {"clWindowText", clWindowText}};
    if (value.kind == StoredValue::Kind::Integer)
        return static_cast<TColor>(value.integer);
    return value.asEnum(colorNames);
}
} // namespace

TAnchors AnchorsFromStored(const StoredValue& value) {
    TAnchors anchors = 0;
    for (const std::string& item : value.asSet()) {
        auto found = anchorNames.find(item);
        if (found == anchorNames.end())
            throw StoredValue::PropertyError("unknown anchor '" + item + "'");
        anchors |= found->second;
    }
    return anchors;
}

TColor ColorFromStored(const StoredValue& value) {
    return colorValue(value);
}

int CoordinateFromStored(const StoredValue& value) {
    // Any real layout fits in this range; a larger value is a broken definition, and sums of
    // positions and sizes must stay far from overflowing.
    constexpr int limit = 32767;
    int coordinate = value.asInteger();
    if (coordinate < -limit - 1 || coordinate > limit)
        throw StoredValue::PropertyError("position or size " + std::to_string(coordinate) +
                                         " is out of range (-32768 to 32767)");
    return coordinate;
}

void TControl::SetStoredProperty(const std::string& name, const StoredValue& value,
                                 PropertyResolver& resolver) {
    if (name == "Left")
        SetLeft(CoordinateFromStored(value));
    else if (name == "Top")
        SetTop(CoordinateFromStored(value));
    else if (name == "Width")
        SetWidth(CoordinateFromStored(value));
    else if (name == "Height")
        SetHeight(CoordinateFromStored(value));
    else if (name == "Visible")
        SetVisible(value.asBoolean());
    else if (name == "Enabled")
        SetEnabled(value.asBoolean());
    else if (name == "Caption")
        SetCaption(value.asString());
    else if (name == "Color")
        SetColor(colorValue(value));
    else if (name == "Align")
        SetAlign(value.asEnum(alignNames));
    else if (name == "Anchors")
        SetAnchors(AnchorsFromStored(value));
    else if (name == "AutoSize")
        SetAutoSize(value.asBoolean());
    else if (name == "Constraints.MinWidth")
        FConstraints.MinWidth = CoordinateFromStored(value), SetConstraints(FConstraints);
    else if (name == "Constraints.MinHeight")
        FConstraints.MinHeight = CoordinateFromStored(value), SetConstraints(FConstraints);
    else if (name == "Constraints.MaxWidth")
        FConstraints.MaxWidth = CoordinateFromStored(value), SetConstraints(FConstraints);
    else if (name == "Constraints.MaxHeight")
        FConstraints.MaxHeight = CoordinateFromStored(value), SetConstraints(FConstraints);
    else if (name.starts_with("Font.")) {
        TFont font = FFont;
        if (name == "Font.Name")
            font.Name = value.asString();
        else if (name == "Font.Height")
            font.Height = value.asInteger();
        else if (name == "Font.Color")
            font.Color = colorValue(value);
        else if (name == "Font.Charset")
            (void)value.asIdentifier(); // one character set is all this platform has
        else if (name == "Font.Style") {
            font.Style = 0;
            for (const std::string& item : value.asSet()) {
                auto found = fontStyleNames.find(item);
                if (found == fontStyleNames.end())
                    throw StoredValue::PropertyError("unknown font style '" + item + "'");
                font.Style |= found->second;
            }
        } else
            throw UnknownPropertyError(std::string(ClassName()) + " has no property '" + name + "'");
        SetFont(font);
    } else if (name == "ParentFont") {
        FParentFont = value.asBoolean();
        if (FParentFont && FParent != nullptr && !(FFont == FParent->Font())) {
            FFont = FParent->Font();
            FontChanged();
        }
    } else if (name == "ParentShowHint" || name == "ShowHint")
        (void)value.asBoolean(); // hints are not shown by this platform
    else if (name == "Hint")
        (void)value.asString();
    else if (name == "OnClick")
        resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnClick = std::move(e); });
    else if (name == "OnDblClick")
        resolver.resolveEvent(value.asIdentifier(), [this](TNotifyEvent e) { OnDblClick = std::move(e); });
    else
        TComponent::SetStoredProperty(name, value, resolver);
}

void TControl::SetParentComponent(TComponent* parent) {
    auto* windowed = dynamic_cast<TWinControl*>(parent);
    if (parent != nullptr && windowed == nullptr)
        throw EComponentError(std::string(ClassName()) + " cannot be placed inside " + parent->Name() +
                              ", which is not a windowed control");
    SetParent(windowed);
}
