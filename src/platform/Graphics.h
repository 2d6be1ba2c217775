// Drawing: pens, brushes, fonts, canvases, 32-bit bitmaps and pictures with a format registry.
// A canvas draws into a 32-bit bitmap through an origin and a clip rectangle, so a graphic
// control can paint into its parent's back buffer. Antialiasing is always off.
#pragma once

#include "Object.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QImage;
class TCanvas;

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psClear };
enum TBrushStyle : uint8_t { bsSolid, bsClear };
enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4 };

struct TPen {
    TColor Color = clBlack;
    TPenStyle Style = psSolid;
    int Width = 1;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

// Height is in pixels (negative: the character height, as stored); Size is in points at 96 dpi.
struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = -11;
    TColor Color = clWindowText;
    uint8_t Style = 0;
    int Size() const;
    void SetSize(int points);
    bool operator==(const TFont&) const = default;
};

// Anything that can draw itself into a rectangle of a canvas.
class TGraphic : public TObject {
    PLATFORM_CLASS(TGraphic, TObject)
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // Draws the graphic stretched into rect.
    virtual void Draw(TCanvas& canvas, const TRect& rect) const = 0;
    // Replaces the content with the given encoded bytes; raises EInvalidGraphic on bad data.
    virtual void LoadFromBytes(const uint8_t* data, size_t size) = 0;

    bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool value);
    // The colour palette of the graphic; 0 for the true-colour graphics this platform has.
    virtual uintptr_t Palette() const { return 0; }
    bool PaletteModified = false;
    TNotifyEvent OnChange;

protected:
    void Changed();

private:
    bool FTransparent = false;
};

// A 32-bit bitmap whose rows can be addressed directly: per pixel blue, green, red, fourth byte.
class TBitmap : public TGraphic {
    PLATFORM_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    ~TBitmap() override;
    int Width() const override;
    int Height() const override;
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    uint8_t* ScanLine(int row);
    const uint8_t* ScanLine(int row) const;
    TCanvas& Canvas();
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    void LoadFromBytes(const uint8_t* data, size_t size) override;

    QImage& Image() { return *FImage; } // for the platform's own drawing code
    const QImage& Image() const { return *FImage; }

private:
    std::unique_ptr<QImage> FImage;
    std::unique_ptr<TCanvas> FCanvas;
};

class TCanvas {
public:
    // Draws into target (not owned), with (0, 0) at origin and nothing outside clip (target pixels).
    TCanvas(QImage* target, TPoint origin, TRect clip);
    explicit TCanvas(QImage* target);

    TPen Pen;
    TBrush Brush;
    TFont Font;

    // Figures take (left, top, right, bottom) with the right and bottom edges outside the figure.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void Ellipse(int left, int top, int right, int bottom);
    void FillRect(const TRect& rect); // brush only
    void TextOut(int x, int y, const std::string& text);
    // The size the text takes in the canvas's font.
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;

    TColor Pixel(int x, int y) const; // clNone outside the canvas
    void SetPixel(int x, int y, TColor color);

    void StretchDraw(const TRect& rect, const TGraphic& graphic);
    void Draw(int x, int y, const TGraphic& graphic);
    // Block transfer: copies source's sourceRect into dest of this canvas, scaling if sizes differ.
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);

    QImage* Target() const { return FTarget; }
    TPoint Origin() const { return FOrigin; }
    TRect ClipRect() const;   // in canvas coordinates
    TRect TargetClip() const; // in target pixels, within the target

private:
    QImage* FTarget; // not owned
    TPoint FOrigin;
    TRect FClip; // in target pixels
    bool FWholeTarget = false;
};

// Holds one graphic, owned; tells OnChange whenever the graphic is replaced or changes.
class TPicture : public TObject {
    PLATFORM_CLASS(TPicture, TObject)
public:
    TPicture();
    ~TPicture() override;
    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    void Assign(const TPicture& source);
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }
    // Creates a graphic of the registered kind and loads the bytes into it.
    void LoadFromData(const std::string& graphicClassName, const std::vector<uint8_t>& bytes);
    TNotifyEvent OnChange;

    // The picture-format registry.
    using GraphicFactory = std::function<std::unique_ptr<TGraphic>()>;
    static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                   const std::string& graphicClassName, GraphicFactory factory);
    static void UnregisterGraphicClass(const std::string& graphicClassName);
    struct FileFormat {
        std::string Extension;
        std::string Description;
        std::string GraphicClassName;
        GraphicFactory Factory;
    };
    static const std::vector<FileFormat>& FileFormats();

private:
    void Changed();
    std::unique_ptr<TGraphic> FGraphic;
    std::vector<uint8_t> FData; // the encoded bytes the graphic came from, kept for Assign
    std::string FDataKind;
};
