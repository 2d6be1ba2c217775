#include "TwoJumper.h"

#include "RadioPanel.h"

#include <algorithm>
#include <map>
#include <string_view>

namespace {
bool IsVertical(TOrientationType orientation) {
    return orientation == otLeft || orientation == otRight;
}

// Only a parent of exactly this class is asked for its colour and its radio-group rule.
TRadioPanel* RadioPanelParent(const TControl& control) {
    TWinControl* parent = control.Parent();
    if (parent == nullptr || std::string_view(parent->ClassName()) != TRadioPanel::StaticClassName)
        return nullptr;
    return dynamic_cast<TRadioPanel*>(parent);
}

const std::map<std::string, TOrientationType> orientationNames = {
    {"otUp", otUp}, {"otDown", otDown}, {"otLeft", otLeft}, {"otRight", otRight}};
const std::map<std::string, TBorderStyle> borderStyleNames = {{"bsNone", bsNone}, {"bsSingle", bsSingle}};
} // namespace

TTwoJumper::TTwoJumper(TComponent* owner)
    : TGraphicControl(owner), FOutputBitmap(std::make_unique<TBitmap>()),
      FDrawingBitmap(std::make_unique<TBitmap>()) {
    ControlStyle |= csReplicatable;
    SetBounds(Left(), Top(), 34, 18);
}

TTwoJumper::~TTwoJumper() = default;

void TTwoJumper::SetOrientation(TOrientationType value) {
    if (value == FOrientation)
        return;
    // Toggled rather than set: two axis changes before a paint bring the size back on its axis.
    if (IsVertical(value) != IsVertical(FOrientation))
        FAxisChanged = !FAxisChanged;
    FOrientation = value;
    Invalidate();
}

void TTwoJumper::SetClosed(bool value) {
    if (value == FClosed)
        return;
    FClosed = value;
    Invalidate();
}

void TTwoJumper::SetBaseColor(TColor value) {
    if (value == FBaseColor)
        return;
    FBaseColor = value;
    Invalidate();
}

void TTwoJumper::SetJumperColor(TColor value) {
    if (value == FJumperColor)
        return;
    FJumperColor = value;
    Invalidate();
}

void TTwoJumper::SetPinColor(TColor value) {
    if (value == FPinColor)
        return;
    FPinColor = value;
    Invalidate();
}

void TTwoJumper::SetBorderStyle(TBorderStyle value) {
    if (value == FBorderStyle)
        return;
    FBorderStyle = value;
    Invalidate();
}

TColor TTwoJumper::BackgroundColor() const {
    if (TRadioPanel* panel = RadioPanelParent(*this))
        return panel->Color();
    return clBtnFace;
}

void TTwoJumper::Paint() {
    bool vertical = IsVertical(FOrientation);
    int width = vertical ? Height() : Width();
    int height = vertical ? Width() : Height();
    FDrawingBitmap->SetSize(width, height);
    if (width > 0 && height > 0) {
        DrawHorizontally();
        TurnToOrientation();
    } else {
        FOutputBitmap->SetSize(0, 0);
    }

    if (FAxisChanged) {
        FAxisChanged = false;
        // A jumper read from the board definition already has the size that fits its orientation.
        if (FPainted) {
            int oldWidth = Width(), oldHeight = Height();
            SetWidth(oldHeight);
            SetHeight(oldWidth);
        }
    }

    TRect shown{0, 0, Width(), Height()};
    if (FOutputBitmap->Width() > 0)
        Canvas().CopyRect(shown, FOutputBitmap->Canvas(), shown);
    FPainted = true;
}

void TTwoJumper::DrawHorizontally() {
    TCanvas& canvas = FDrawingBitmap->Canvas();
    int width = FDrawingBitmap->Width();
    int height = FDrawingBitmap->Height();
    TPen keptPen = canvas.Pen;
    TBrush keptBrush = canvas.Brush;
    canvas.Pen = TPen{};
    canvas.Brush = TBrush{};

    TColor background = BackgroundColor();
    canvas.Brush.Color = background;
    canvas.Pen.Color = background;
    canvas.Rectangle(0, 0, width, height);

    TColor fill = FClosed ? FJumperColor : FBaseColor;
    canvas.Pen.Style = psSolid;
    canvas.Pen.Color = FBorderStyle == bsSingle ? clBlack : fill;
    canvas.Brush.Color = fill;
    if (FClosed)
        canvas.Rectangle(0, 0, width, height);
    else
        canvas.RoundRect(1, 1, width - 1, height - 1, height / 2, height / 2);

    canvas.Pen.Style = psClear;
    canvas.Brush.Color = FPinColor;
    int pinSpacing = RoundHalfEven(width / 3.5);
    int centreX = pinSpacing + 1;
    int radius = std::min(pinSpacing / 3, RoundHalfEven(height / 4.0));
    int centreY = height / 2;
    canvas.Ellipse(centreX - radius, centreY - radius, centreX + radius, centreY + radius);
    canvas.Ellipse(width - centreX - radius, centreY - radius, width - centreX + radius, centreY + radius);

    canvas.Pen = keptPen;
    canvas.Brush = keptBrush;
}

void TTwoJumper::TurnToOrientation() {
    int width = FDrawingBitmap->Width();
    int height = FDrawingBitmap->Height();
    const TCanvas& drawing = FDrawingBitmap->Canvas();
    if (FOrientation == otUp) {
        FOutputBitmap->SetSize(width, height);
        FOutputBitmap->Canvas().CopyRect({0, 0, width, height}, drawing, {0, 0, width, height});
        return;
    }
    if (FOrientation == otDown)
        FOutputBitmap->SetSize(width, height);
    else
        FOutputBitmap->SetSize(height, width);
    TCanvas& output = FOutputBitmap->Canvas();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            TColor pixel = drawing.Pixel(x, y);
            switch (FOrientation) {
            case otDown:
                output.SetPixel(width - 1 - x, height - 1 - y, pixel);
                break;
            case otLeft: // a quarter turn anticlockwise: the drawing's right end on top
                output.SetPixel(y, width - 1 - x, pixel);
                break;
            default: // otRight, a quarter turn clockwise: the drawing's left end on top
                output.SetPixel(height - 1 - y, x, pixel);
                break;
            }
        }
    }
}

void TTwoJumper::Click() {
    FClosed = !FClosed;
    Invalidate();
    if (TRadioPanel* panel = RadioPanelParent(*this); panel != nullptr && panel->RadioEnabled)
        panel->SelectJumper(this);
    // Last, as the handler may free this jumper.
    TGraphicControl::Click();
}

void TTwoJumper::SetStoredProperty(const std::string& name, const StoredValue& value,
                                   PropertyResolver& resolver) {
    if (name == "Closed")
        SetClosed(value.asBoolean());
    else if (name == "BaseColor")
        SetBaseColor(ColorFromStored(value));
    else if (name == "PinColor")
        SetPinColor(ColorFromStored(value));
    else if (name == "JumperColor")
        SetJumperColor(ColorFromStored(value));
    else if (name == "Orientation")
        SetOrientation(value.asEnum(orientationNames));
    else if (name == "BorderStyle")
        SetBorderStyle(value.asEnum(borderStyleNames));
    else
        TGraphicControl::SetStoredProperty(name, value, resolver);
}
