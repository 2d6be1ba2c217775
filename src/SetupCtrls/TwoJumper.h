// TTwoJumper: a clickable drawing of one two-pin jumper of the card, open (grey base block with two
// pins) or closed (a cap over both pins). It draws itself lying horizontally into an off-screen
// bitmap, turns that to its Orientation and copies the result to the screen in one block.
#pragma once

#include "platform/Controls.h"

#include <memory>

enum TOrientationType : uint8_t { otUp, otDown, otLeft, otRight };

class TTwoJumper : public TGraphicControl {
    PLATFORM_CLASS(TTwoJumper, TGraphicControl)
public:
    explicit TTwoJumper(TComponent* owner);
    ~TTwoJumper() override;

    TOrientationType Orientation() const { return FOrientation; }
    // A move to the other axis makes the next paint swap Width and Height, if the jumper was painted before.
    void SetOrientation(TOrientationType value);
    bool Closed() const { return FClosed; }
    // Only stores and repaints: no OnClick and no radio-group rule.
    void SetClosed(bool value);
    TColor BaseColor() const { return FBaseColor; }
    void SetBaseColor(TColor value);
    TColor JumperColor() const { return FJumperColor; }
    void SetJumperColor(TColor value);
    TColor PinColor() const { return FPinColor; }
    void SetPinColor(TColor value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);

    // Inverts Closed, applies the parent panel's radio-group rule, then fires OnClick.
    void Click() override;

    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override;

protected:
    void Paint() override;

private:
    // Draws the jumper lying horizontally into the drawing bitmap, which must be sized already.
    void DrawHorizontally();
    // Turns the drawing bitmap into the output bitmap according to Orientation.
    void TurnToOrientation();
    TColor BackgroundColor() const;

    TOrientationType FOrientation = otUp;
    bool FClosed = false;
    std::unique_ptr<TBitmap> FOutputBitmap;
    std::unique_ptr<TBitmap> FDrawingBitmap;
    // The control's Width and Height lie on the other axis than Orientation; the next paint swaps them.
    bool FAxisChanged = false;
    bool FPainted = false;
    TColor FBaseColor = clGray;
    TColor FJumperColor = clMaroon;
    TColor FPinColor = clYellow;
    TBorderStyle FBorderStyle = bsSingle;
};
