#include "BoardHighlight.h"

#include "BoardImage.h"
#include "RadioPanel.h"

#include <cmath>
#include <map>

namespace {

struct TypeLook {
    TColor RingColor;
    float IdleOpacity;
    float LitOpacity;
    float BrightOpacity;
};

TypeLook LookOfType(THighlightType type) {
    switch (type) {
    case htOptions:
        return {clBlue, 0.25f, 0.5f, 1.0f};
    case htCalibration:
        return {clRed, 0.5f, 0.75f, 1.0f};
    case htSettings:
        break;
    }
    return {clYellow, 0.5f, 0.75f, 1.0f};
}

const std::map<std::string, THighlightType> HighlightTypeNames{
    {"htOptions", htOptions}, {"htSettings", htSettings}, {"htCalibration", htCalibration}};

// Below this squared radius (a radius of 0.77) lies the inner disc with its constant faint tint.
constexpr float InnerDiscLimit = 0.5929f;
constexpr float InnerDiscWeight = 0.16f;
constexpr float RingPeakRadius = 0.875f;

// The looks are computed step by step in single precision so that they come out the same on every
// machine; a fused multiply-add, which compilers may otherwise use where the processor has one,
// would skip a rounding step.
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#define SINGLE_PRECISION_STEPS
#else
#define SINGLE_PRECISION_STEPS __attribute__((optimize("fp-contract=off")))
#endif

// The nearest integer to base * keep + ring * share, a half going to the even neighbour under the
// default rounding mode.
SINGLE_PRECISION_STEPS uint8_t BlendChannel(uint8_t base, float ring, float share, float keep) {
    const float kept = static_cast<float>(base) * keep;
    const float added = ring * share;
    return static_cast<uint8_t>(std::nearbyint(kept + added));
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool CanStartIdentifier(char c) {
    return IsAsciiLetter(c) || c == '_';
}

bool CanContinueIdentifier(char c) {
    return CanStartIdentifier(c) || (c >= '0' && c <= '9');
}

} // namespace

SINGLE_PRECISION_STEPS void BlendRing(TBitmap& bitmap, TColor color, float opacity, bool whiteCore) {
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    // The scale factors divide by width - 1 and height - 1.
    if (width < 2 || height < 2)
        return;
    const TColor rgb = ColorToRGB(color);
    const float ringRed = GetRValue(rgb);
    const float ringGreen = GetGValue(rgb);
    const float ringBlue = GetBValue(rgb);
    const float scaleX = 2.0f / static_cast<float>(width - 1);
    const float scaleY = 2.0f / static_cast<float>(height - 1);
    for (int y = 0; y < height; ++y) {
        uint8_t* pixel = bitmap.ScanLine(y);
        const float v = static_cast<float>(y) * scaleY - 1.0f;
        const float vSquared = v * v;
        for (int x = 0; x < width; ++x, pixel += 4) {
            const float u = static_cast<float>(x) * scaleX - 1.0f;
            const float distance = u * u + vSquared;
            if (distance >= 1.0f)
                continue;
            float weight = InnerDiscWeight;
            if (distance >= InnerDiscLimit) {
                const float radius = std::sqrt(distance);
                weight = 1.0f - 8.0f * std::fabs(radius - RingPeakRadius);
                if (whiteCore) {
                    weight = 2.0f * weight;
                    if (weight > 1.0f) {
                        // The fourth byte stays as it was: the platform's 32-bit bitmaps need it at
                        // 255 for an opaque pixel.
                        pixel[0] = pixel[1] = pixel[2] = 255;
                        weight = 2.0f - weight;
                    }
                }
            }
            const float share = weight * opacity;
            const float keep = 1.0f - share;
            pixel[0] = BlendChannel(pixel[0], ringBlue, share, keep);
            pixel[1] = BlendChannel(pixel[1], ringGreen, share, keep);
            pixel[2] = BlendChannel(pixel[2], ringRed, share, keep);
        }
    }
}

std::string MakeIdentifier(std::string_view text) {
    // An identifier passes through unchanged, as every character of it is kept.
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (result.empty() ? CanStartIdentifier(c) : CanContinueIdentifier(c))
            result += c;
    }
    return result;
}

TBoardHighlight::TBoardHighlight(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 65);
    TakeLookOfType();
}

TBoardHighlight::~TBoardHighlight() = default;

void TBoardHighlight::SetHighlightType(THighlightType value) {
    if (value == FHighlightType)
        return;
    FHighlightType = value;
    TakeLookOfType();
    Invalidate();
}

void TBoardHighlight::TakeLookOfType() {
    const TypeLook look = LookOfType(FHighlightType);
    FRingColor = look.RingColor;
    FIdleOpacity = look.IdleOpacity;
    FLitOpacity = look.LitOpacity;
    FBrightOpacity = look.BrightOpacity;
}

void TBoardHighlight::SetRadioPanel(TRadioPanel* value) {
    if (value == FRadioPanel)
        return;
    if (value != nullptr && Parent() != nullptr) {
        TWinControl* parent = Parent();
        for (int index = 0; index < parent->ControlCount(); ++index) {
            TBoardHighlight* circle = AsBoardHighlight(parent->Controls(index));
            if (circle != nullptr && circle != this && circle->FRadioPanel == value && !IsLinkedTo(circle))
                return;
        }
    }
    FRadioPanel = value;
}

void TBoardHighlight::SetTitle(const std::string& value) {
    if (value == FTitle)
        return;
    FTitle = value;
    FCaptionText.clear();
    for (char c : value) {
        if (c != '&')
            FCaptionText += c;
    }
    FNameStem = MakeIdentifier(value);
}

bool TBoardHighlight::IsLinkedTo(const TBoardHighlight* other) const {
    if (other == this)
        return true;
    return other != nullptr && Parent() != nullptr && other->Parent() == Parent() &&
           other->FTitle == FTitle && other->FHighlightType == FHighlightType;
}

TBoardHighlight* TBoardHighlight::AsBoardHighlight(TControl* control) {
    if (control == nullptr || std::string_view(control->ClassName()) != StaticClassName)
        return nullptr;
    return dynamic_cast<TBoardHighlight*>(control);
}

bool TBoardHighlight::ParentIsBoardImage() const {
    return Parent() != nullptr && std::string_view(Parent()->ClassName()) == TBoardImage::StaticClassName;
}

void TBoardHighlight::SetActiveLook(bool active, bool propagate) {
    FPopupActive = active;
    BringToFront();
    Invalidate();
    if (!propagate || !ParentIsBoardImage())
        return;
    TWinControl* parent = Parent();
    int remaining = parent->ControlCount();
    int index = 0;
    while (index < remaining) {
        TBoardHighlight* circle = AsBoardHighlight(parent->Controls(index));
        if (circle != nullptr && circle != this && IsLinkedTo(circle)) {
            // Brought to the front, the circle moves from this index to the end of the list, where
            // the walk must not meet it again.
            circle->SetActiveLook(active, false);
            --remaining;
        } else {
            ++index;
        }
    }
}

void TBoardHighlight::Unhover() {
    FHovered = false;
    Invalidate();
}

void TBoardHighlight::BuildBitmaps(const TCanvas& beneath) {
    const TRect whole = Rect(0, 0, Width(), Height());
    auto buildLook = [&](TBitmap& bitmap, float opacity, bool whiteCore) {
        bitmap.SetSize(whole.Width(), whole.Height());
        bitmap.Canvas().CopyRect(whole, beneath, whole);
        BlendRing(bitmap, FRingColor, opacity, whiteCore);
    };
    buildLook(FIdleBitmap, FIdleOpacity, false);
    buildLook(FBrightBitmap, FBrightOpacity, true);
    buildLook(FLitBitmap, FLitOpacity, false);
}

void TBoardHighlight::SetUpAtFirstPaint(const TCanvas& beneath) {
    BuildBitmaps(beneath);
    if (ParentIsBoardImage()) {
        FBoardMenu = dynamic_cast<TBoardImage*>(Parent())->Menu();
        // BuildMenuEntry() belongs here: once per circle, it lists the circle in its type's menu.
    } else {
        FBoardMenu = nullptr;
    }
    FInitialized = true;
}

TBitmap& TBoardHighlight::ChosenLook() {
    if (FHovered && FPopupActive)
        return FBrightBitmap;
    if (FHovered || FPopupActive)
        return FLitBitmap;
    return FIdleBitmap;
}

void TBoardHighlight::Paint() {
    TCanvas& canvas = Canvas();
    if (IsDesigning())
        BuildBitmaps(canvas);
    else if (!FInitialized)
        SetUpAtFirstPaint(canvas);
    const TRect whole = Rect(0, 0, Width(), Height());
    canvas.CopyRect(whole, ChosenLook().Canvas(), whole);
}

void TBoardHighlight::SetStoredProperty(const std::string& name, const StoredValue& value,
                                        PropertyResolver& resolver) {
    if (name == "CreatePopup")
        SetCreatePopup(value.asBoolean());
    else if (name == "HighlightType")
        SetHighlightType(value.asEnum(HighlightTypeNames));
    else if (name == "RadioPanel")
        ResolveReference<TRadioPanel>(resolver, value, [this](TRadioPanel* panel) { SetRadioPanel(panel); });
    else if (name == "Title")
        SetTitle(value.asString());
    else
        TGraphicControl::SetStoredProperty(name, value, resolver);
}
