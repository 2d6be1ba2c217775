// Controls: TControl (position, visibility, messages), TGraphicControl (no window: painted by its
// parent into the parent's back buffer, after the parent's own painting, in z-order) and
// TWinControl (one Qt widget, whose tree mirrors the control tree; only the platform touches it).
#pragma once

#include "Component.h"
#include "Graphics.h"

#include <memory>
#include <vector>

class QWidget;
class TWinControl;

enum TControlStyleFlag : uint32_t {
    csAcceptsControls = 1,
    csCaptureMouse = 2,
    csClickEvents = 4,
    csOpaque = 8,
    csSetCaption = 16,
    csReplicatable = 32,
    csDoubleClicks = 64,
};

struct TSizeConstraints {
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0; // 0: no limit
    int MaxHeight = 0;
};

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton button, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, int x, int y)>;

class TControl : public TComponent {
    PLATFORM_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; } // not owned
    virtual void SetParent(TWinControl* parent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    // Moves and sizes the control, keeping to its constraints; does nothing when nothing changes.
    virtual void SetBounds(int left, int top, int width, int height);
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }
    TRect ClientRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);
    // Visible, and every parent visible too.
    bool Showing() const;

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors value);
    TSizeConstraints Constraints() const { return FConstraints; }
    void SetConstraints(const TSizeConstraints& value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);

    const std::string& Caption() const { return FCaption; }
    virtual void SetCaption(const std::string& value);
    TColor Color() const { return FColor; }
    virtual void SetColor(TColor value);
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value);
    bool ParentFont() const { return FParentFont; }

    uint32_t ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;

    // Requests a repaint later; Repaint paints at once.
    virtual void Invalidate();
    virtual void Repaint();
    void Update() { Repaint(); }
    // Moves the control to the top of its siblings' z-order (the end of its parent's child list).
    virtual void BringToFront();

    TPoint ClientToScreen(TPoint point) const;
    TPoint ScreenToClient(TPoint point) const;
    // Position of the control's client origin inside the nearest windowed ancestor's client area.
    TPoint OffsetInWindow() const;

    // Sends a message synchronously to the control's window procedure and returns the result.
    intptr_t Perform(uint32_t msg, intptr_t wParam = 0, intptr_t lParam = 0);
    virtual void WndProc(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override;
    void SetParentComponent(TComponent* parent) override;
    void Loaded() override { AdjustSize(); }

    // Mouse input as the platform delivers it, in client coordinates.
    virtual void MouseDown(TMouseButton button, int x, int y);
    virtual void MouseUp(TMouseButton button, int x, int y);
    virtual void MouseMove(int x, int y);
    virtual void Click();
    virtual void DblClick();

    // The auto-size query: adjusts the proposed size; returns whether the control agrees to be resized.
    virtual bool CanAutoSize(int& newWidth, int& newHeight) { return true; }
    // Applies the auto-size query when AutoSize is on.
    void AdjustSize();
    bool AutoSizeApplies() const;

protected:
    // Called after the bounds changed (the widget, if any, has been moved already).
    virtual void BoundsChanged() {}
    // Lets a windowed control move its widget before dependants hear of the change.
    virtual void ApplyBounds() {}
    virtual void ApplyVisible() {}
    virtual void ParentChanged() {}
    // The font changed, set directly or taken from the parent.
    virtual void FontChanged();
    // Remembers the distances that anchoring keeps when the parent is resized.
    void UpdateAnchorRules();
    // An aligned control that moves, resizes, shows, hides or comes or goes makes its parent lay
    // out its aligned children again.
    void RequestAlign(TWinControl* parent);

private:
    friend class TWinControl;
    void AnchorToParentSize(int parentWidth, int parentHeight);

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    bool FAutoSize = false;
    bool FParentFont = true;
    TAlign FAlign = alNone;
    TAnchors FAnchors = DefaultAnchors;
    TSizeConstraints FConstraints;
    std::string FCaption;
    TColor FColor = clBtnFace;
    TFont FFont;
    // What anchoring keeps: the anchor point and the parent's client size it was taken at.
    TPoint FAnchorOrigin;
    TPoint FAnchorSize;
    TPoint FAnchorParentSize;
    bool FAnchorRulesValid = false;
    bool FMouseDownInside = false;
};

// A control without a window: its parent paints it into the parent's back buffer.
class TGraphicControl : public TControl {
    PLATFORM_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    // Valid only while painting: draws into the parent's back buffer, clipped to this control.
    TCanvas& Canvas();
    void Invalidate() override;
    void Repaint() override;
    // Paints the control on the given canvas; called by the parent during its own painting.
    void PaintOn(TCanvas& canvas);

protected:
    virtual void Paint() {}

private:
    TCanvas* FCanvas = nullptr; // not owned; set only during PaintOn
};

// A control with a window (a Qt widget) that can hold child controls.
class TWinControl : public TControl {
    PLATFORM_CLASS(TWinControl, TControl)
public:
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const { return FControls.at(index); }
    int IndexOfControl(const TControl* control) const;
    // The topmost visible, enabled child at the point (client coordinates), graphic or windowed.
    TControl* ControlAtPos(TPoint point, bool allowDisabled = false) const;

    bool Focused() const;
    virtual void SetFocus();
    bool CanFocus() const;
    bool ContainsControl(const TControl* control) const;
    int TabOrder = -1;
    bool TabStop = false;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    void Invalidate() override;
    void Repaint() override;
    void BringToFront() override;
    void SetCaption(const std::string& value) override;
    void SetEnabled(bool value) override;
    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override;

    // The widget holding this control's children (the client area). Platform use only.
    QWidget* Widget() const { return FWidget; }
    // Finds the control a widget belongs to, walking up the widget's parents.
    static TWinControl* FromWidget(QWidget* widget);
    // The platform's paint entry: paints the control and its graphic children into its back buffer.
    void PaintToBuffer(const TRect& dirty);
    TBitmap* BackBuffer() { return FBackBuffer.get(); }

    // Fires the enter/exit events when the focus moves into or out of the control.
    virtual void DoEnter();
    virtual void DoExit();

protected:
    // A windowed control takes ownership of the widget its class creates.
    TWinControl(TComponent* owner, QWidget* widget);
    // Controls that draw themselves paint into the back buffer here; others let Qt draw.
    virtual void PaintWindow(TCanvas& canvas) {}
    virtual bool IsCustomPainted() const { return false; }
    void ApplyBounds() override;
    void ApplyVisible() override;
    void ParentChanged() override;
    // Pushes the control's font to the widget and to children that take their parent's font.
    void FontChanged() override;
    // A form places its widget differently (its outer window frame); others sit in the parent.
    virtual void AttachWidget();

public:
    // Lays out aligned and anchored children for the current client size.
    void RealignChildren();

private:
    friend class TControl;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void PaintGraphicChildren(TCanvas& canvas, const TRect& dirty);

    QWidget* FWidget;                 // owned; deleted after the child controls
    std::vector<TControl*> FControls; // z-order, bottom first; not owned (parented, not owned)
    std::unique_ptr<TBitmap> FBackBuffer;
    bool FAligning = false; // laying out children, whose own moves must not start it again
};

// A windowed control that paints itself through Paint() on a canvas.
class TCustomControl : public TWinControl {
    PLATFORM_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* owner);
    // Valid only while painting.
    TCanvas& Canvas();

protected:
    virtual void Paint() {}
    void PaintWindow(TCanvas& canvas) override;
    bool IsCustomPainted() const override { return true; }

private:
    TCanvas* FCanvas = nullptr; // not owned; set only during painting
};

// Conversions of stored values that several control classes share.
TAnchors AnchorsFromStored(const StoredValue& value);
TColor ColorFromStored(const StoredValue& value);
// A position or size in pixels, refused when far outside any screen.
int CoordinateFromStored(const StoredValue& value);
