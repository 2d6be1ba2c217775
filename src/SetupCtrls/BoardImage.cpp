#include "BoardImage.h"

#include "BoardHighlight.h"

#include "platform/Forms.h"

TBoardImage::TBoardImage(TComponent* owner) : TCustomPanel(owner), FPicture(std::make_unique<TPicture>()) {
    ControlStyle |= csReplicatable;
    FPicture->OnChange = [this](TObject*) {
        PictureUpdated();
    };
    SetHeight(105);
    SetWidth(105);
    AspectRatio = 1.0;
    SetAutoSize(true);
    FScale = true;
    FMenu = nullptr;
    FCenterOnForm = true;
    DesignPosSaved = false;
    SetStretch(false);
}

TBoardImage::~TBoardImage() {
    BeginDestruction();
    FPicture->OnChange = nullptr;
}

void TBoardImage::SetPicture(const TPicture& value) {
    FPicture->Assign(value);
}

void TBoardImage::SetStretch(bool value) {
    if (value != FStretch) {
        FStretch = value;
        PictureUpdated();
    }
}

void TBoardImage::SetCenter(bool value) {
    if (value != FCenter) {
        FCenter = value;
        PictureUpdated();
    }
}

void TBoardImage::SetTransparent(bool value) {
    if (value != FTransparent) {
        FTransparent = value;
        PictureUpdated();
    }
}

void TBoardImage::SetScale(bool value) {
    if (value != FScale) {
        FScale = value;
        PictureUpdated();
    }
}

TRect TBoardImage::CalcDrawRect() const {
    int pictureWidth = FPicture->Width();
    int pictureHeight = FPicture->Height();
    if (FStretch)
        return {0, 0, ClientWidth(), ClientHeight()};
    if (FCenter) {
        // Integer division truncates toward zero, also for a picture larger than the board.
        int left = (Width() - pictureWidth) / 2;
        int top = (Height() - pictureHeight) / 2;
        return Bounds(left, top, pictureWidth, pictureHeight);
    }
    return {0, 0, pictureWidth, pictureHeight};
}

uintptr_t TBoardImage::GetPalette() const {
    TGraphic* graphic = FPicture->Graphic();
    return graphic != nullptr ? graphic->Palette() : 0;
}

bool TBoardImage::CanAutoSize(int& newWidth, int& newHeight) {
    if (IsDesigning() && (FPicture->Width() <= 0 || FPicture->Height() <= 0))
        return true;
    TAlign align = Align();
    if (align == alNone || align == alLeft || align == alRight)
        newWidth = FPicture->Width();
    if (align == alNone || align == alTop || align == alBottom)
        newHeight = FPicture->Height();
    return true;
}

void TBoardImage::Paint() {
    if (!DesignPosSaved) {
        DesignLeft = Left();
        DesignTop = Top();
        DesignPosSaved = true;
    }
    if (FCenterOnForm && !IsDesigning() && Parent() != nullptr) {
        // The parent's outer size counts, caption and menu bar included.
        int left = (Parent()->Width() - Width()) / 2;
        int top = (Parent()->Height() - Height()) / 2;
        if (left != Left())
            SetLeft(left);
        if (top != Top())
            SetTop(top);
    }
    TCanvas& canvas = Canvas();
    if (IsDesigning()) {
        if (FScale)
            SetHeight(RoundHalfEven(Width() * AspectRatio));
        canvas.Pen.Style = psDash;
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(0, 0, Width(), Height());
    }
    if (!(ControlStyle & csOpaque)) {
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = Color();
        canvas.FillRect(ClientRect());
    }
    bool savedInPaint = InPaint;
    InPaint = true;
    try {
        if (TGraphic* graphic = FPicture->Graphic())
            canvas.StretchDraw(CalcDrawRect(), *graphic);
    } catch (...) {
        InPaint = savedInPaint;
        throw;
    }
    InPaint = savedInPaint;
}

void TBoardImage::PictureUpdated() {
    int pictureWidth = FPicture->Width();
    int pictureHeight = FPicture->Height();
    if (pictureWidth > 0 && pictureHeight > 0) {
        long double ratio = static_cast<long double>(pictureHeight) / pictureWidth;
        AspectRatio = static_cast<double>(ratio);
        if (AutoSize())
            SetBounds(Left(), Top(), pictureWidth, pictureHeight);
    }
    if (TGraphic* graphic = FPicture->Graphic()) {
        if (!graphic->InheritsFrom("TMetafile") && !graphic->InheritsFrom("TIcon"))
            graphic->SetTransparent(FTransparent);
        bool opaque = !graphic->Transparent() &&
                      (FStretch || (graphic->Width() >= Width() && graphic->Height() >= Height()));
        if (opaque)
            ControlStyle |= csOpaque;
        else
            ControlStyle &= ~csOpaque;
        if (NotifyPalette() && InPaint)
            Update();
    } else {
        ControlStyle &= ~csOpaque;
    }
    if (!InPaint)
        Invalidate();
}

bool TBoardImage::NotifyPalette() {
    TGraphic* graphic = FPicture->Graphic();
    if (!Visible() || IsLoading() || graphic == nullptr || !graphic->PaletteModified)
        return false;
    if (graphic->Palette() == 0) {
        graphic->PaletteModified = false;
        return false;
    }
    TControl* top = this;
    while (top->Parent() != nullptr)
        top = top->Parent();
    auto* form = dynamic_cast<TForm*>(top);
    if (form == nullptr || !form->Active())
        return false;
    if (InPaint)
        form->Perform(WM_QUERYNEWPALETTE, 0, 0);
    else
        Application->PostMessage(form, WM_QUERYNEWPALETTE, 0, 0);
    graphic->PaletteModified = false;
    return true;
}

void TBoardImage::SetStoredProperty(const std::string& name, const StoredValue& value,
                                    PropertyResolver& resolver) {
    if (name == "First")
        ResolveReference<TBoardHighlight>(resolver, value, [this](TBoardHighlight* h) { SetFirst(h); });
    else if (name == "Menu")
        ResolveReference<TMainMenu>(resolver, value, [this](TMainMenu* m) { SetMenu(m); });
    else if (name == "CenterOnForm")
        SetCenterOnForm(value.asBoolean());
    else if (name == "Scale")
        SetScale(value.asBoolean());
    else if (name == "Center")
        SetCenter(value.asBoolean());
    else if (name == "Stretch")
        SetStretch(value.asBoolean());
    else if (name == "Transparent")
        SetTransparent(value.asBoolean());
    else if (name == "Picture.Data") {
        if (value.kind != StoredValue::Kind::Data)
            throw StoredValue::PropertyError("expected picture data such as TJPEGImage('board.jpg')");
        FPicture->LoadFromData(value.text, value.bytes);
    } else
        TCustomPanel::SetStoredProperty(name, value, resolver);
}
