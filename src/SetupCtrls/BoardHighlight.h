// TBoardHighlight: a coloured ring marking one spot of the board photograph. At its first paint it
// blends the ring into three ready looks of the photo beneath it (idle, lit, bright); every later
// paint copies the look that the hover and popup state select. Owned by the main window, like every
// component of the board definition; its option panel and the board's menu are not owned.
#pragma once

#include "platform/Controls.h"

#include <string>
#include <string_view>

class TMainMenu;
class TRadioPanel;

// A circle's kind: the ring colour and opacities, the menu that lists it and its popup's Tag.
enum THighlightType : uint8_t { htOptions, htSettings, htCalibration };

// Blends an elliptical ring of the given colour, inscribed in the bitmap's bounds, into the bitmap
// in place: a faint tint over the inner disc, a ring peaking at 0.875 of the half-axes and fading
// out at the bounds, and with whiteCore a white line along the ring's middle. A bitmap narrower or
// lower than 2 pixels has no ellipse to blend and is left unchanged.
void BlendRing(TBitmap& bitmap, TColor color, float opacity, bool whiteCore);

// Makes an identifier from a text: characters are dropped from the front until a letter or "_"
// leads, then every later character that is not a letter, digit or "_". Only ASCII letters count.
std::string MakeIdentifier(std::string_view text);

class TBoardHighlight : public TGraphicControl {
    PLATFORM_CLASS(TBoardHighlight, TGraphicControl)
public:
    explicit TBoardHighlight(TComponent* owner);
    ~TBoardHighlight() override;

    bool CreatePopup() const { return FCreatePopup; }
    void SetCreatePopup(bool value) { FCreatePopup = value; }
    THighlightType HighlightType() const { return FHighlightType; }
    // Takes the ring colour and opacities of the type. After the first paint the looks stay as built.
    void SetHighlightType(THighlightType value);
    TRadioPanel* RadioPanel() const { return FRadioPanel; }
    // Refuses, silently, a panel that an unlinked circle of the same parent already shows, so that a
    // panel belongs to at most one group of linked circles.
    void SetRadioPanel(TRadioPanel* value);
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& value);
    // The title without its ampersands: the popup window's caption.
    const std::string& CaptionText() const { return FCaptionText; }
    // The identifier made from the title: the stem of the menu entry's component name.
    const std::string& NameStem() const { return FNameStem; }

    TColor RingColor() const { return FRingColor; }
    float IdleOpacity() const { return FIdleOpacity; }
    float LitOpacity() const { return FLitOpacity; }
    float BrightOpacity() const { return FBrightOpacity; }

    bool Hovered() const { return FHovered; }
    bool PopupActive() const { return FPopupActive; }
    bool Pinned() const { return FPinned; }
    bool Initialized() const { return FInitialized; }
    TMainMenu* BoardMenu() const { return FBoardMenu; }

    const TBitmap& IdleBitmap() const { return FIdleBitmap; }
    const TBitmap& LitBitmap() const { return FLitBitmap; }
    const TBitmap& BrightBitmap() const { return FBrightBitmap; }

    // Linked circles share a parent, a Title and a HighlightType, and act as one. A circle is
    // linked to itself.
    bool IsLinkedTo(const TBoardHighlight* other) const;
    // The control as a circle when its class is exactly TBoardHighlight, otherwise nullptr.
    static TBoardHighlight* AsBoardHighlight(TControl* control);
    // Whether the parent is a board image (by exact class name), the only parent on which linked
    // circles act together.
    bool ParentIsBoardImage() const;

    // Follows the activation of the circle's popup window: selects the bright or lit look and brings
    // the circle to the front; with propagate, does the same for every other linked circle.
    void SetActiveLook(bool active, bool propagate);
    void Unhover();

    // Builds the three looks from the Width x Height pixels the canvas shows beneath the circle.
    void BuildBitmaps(const TCanvas& beneath);

    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override;

protected:
    void Paint() override;

private:
    // Sets the ring colour and the three opacities from HighlightType.
    void TakeLookOfType();
    void SetUpAtFirstPaint(const TCanvas& beneath);
    TBitmap& ChosenLook();

    TBitmap FIdleBitmap;
    TBitmap FBrightBitmap;
    TBitmap FLitBitmap;
    float FIdleOpacity = 0;
    float FBrightOpacity = 0;
    float FLitOpacity = 0;
    TColor FRingColor = clBlack;
    THighlightType FHighlightType = htSettings;
    bool FHovered = false;
    std::string FTitle;
    std::string FCaptionText;
    std::string FNameStem;
    TMainMenu* FBoardMenu = nullptr; // not owned; the board image's menu, taken at the first paint
    bool FInitialized = false;
    bool FCreatePopup = true;
    bool FPinned = false;
    TRadioPanel* FRadioPanel = nullptr; // not owned
    bool FPopupActive = false;
};
