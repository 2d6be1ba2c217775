// TBoardImage: the panel that shows the photograph of the card's board and carries the highlight
// circles as child controls. It re-centres itself in its parent whenever it paints and remembers
// where it stood before that first move, so popups can be placed relative to the designed layout.
#pragma once

#include "platform/Menus.h"
#include "platform/StdCtrls.h"

#include <memory>

class TBoardHighlight;

// Starts the guided tour at the board's first circle; both parameters 0.
constexpr uint32_t WM_STARTTOUR = WM_USER + 162;

class TBoardImage : public TCustomPanel {
    PLATFORM_CLASS(TBoardImage, TCustomPanel)
public:
    explicit TBoardImage(TComponent* owner);
    ~TBoardImage() override;

    TPicture& Picture() { return *FPicture; }
    // Copies the given picture into the board's own.
    void SetPicture(const TPicture& value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool value);
    bool Center() const { return FCenter; }
    void SetCenter(bool value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool Scale() const { return FScale; }
    void SetScale(bool value);
    bool CenterOnForm() const { return FCenterOnForm; }
    void SetCenterOnForm(bool value) { FCenterOnForm = value; }
    TBoardHighlight* First() const { return FFirst; }
    void SetFirst(TBoardHighlight* value) { FFirst = value; }
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* value) { FMenu = value; }

    // The rectangle the picture is drawn into, in client coordinates.
    TRect CalcDrawRect() const;
    // The palette of the picture's graphic, 0 without one.
    uintptr_t GetPalette() const;
    bool CanAutoSize(int& newWidth, int& newHeight) override;

    bool InPaint = false;
    double AspectRatio = 1.0;
    bool DesignPosSaved = false;
    // Left and Top at the start of the first paint, before centring could move the board.
    int DesignLeft = 0;
    int DesignTop = 0;

    void SetStoredProperty(const std::string& name, const StoredValue& value,
                           PropertyResolver& resolver) override;

protected:
    void Paint() override;
    // Follows a change of the picture or of the way it is drawn.
    void PictureUpdated();
    // Tells the parent form that the photograph's palette changed; returns whether it did.
    bool NotifyPalette();

private:
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FTransparent = false;
    bool FScale = true;
    TMainMenu* FMenu = nullptr; // not owned
    bool FCenterOnForm = true;
    TBoardHighlight* FFirst = nullptr; // not owned
};
