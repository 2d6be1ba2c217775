// The JPEG graphic: decoded once by libjpeg straight into 32-bit pixels, drawn like a bitmap.
#pragma once

#include "Graphics.h"

#include <memory>

class TJPEGImage : public TGraphic {
    PLATFORM_CLASS(TJPEGImage, TGraphic)
public:
    TJPEGImage();
    ~TJPEGImage() override;
    int Width() const override;
    int Height() const override;
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    // Raises EInvalidGraphic with libjpeg's own message when the data is not a valid JPEG image.
    void LoadFromBytes(const uint8_t* data, size_t size) override;

    // What the decoder found in the stream's header.
    struct Header {
        int Width = 0;
        int Height = 0;
        int Components = 0;
        int LumaHorizontalSampling = 0;
        int LumaVerticalSampling = 0;
        bool Progressive = false;
        bool HasJFIF = false;
        int JFIFMajor = 0;
        int JFIFMinor = 0;
        int DensityUnit = 0;
        int XDensity = 0;
        int YDensity = 0;
    };
    const Header& Info() const { return FHeader; }
    const TBitmap& Bitmap() const { return *FBitmap; }

private:
    std::unique_ptr<TBitmap> FBitmap;
    Header FHeader;
};

// Registers the JPEG graphic with the picture-format registry for as long as it lives, as the
// program's JPEG support does from start-up to shut-down.
class JPEGSupport {
public:
    JPEGSupport();
    ~JPEGSupport();
    JPEGSupport(const JPEGSupport&) = delete;
    JPEGSupport& operator=(const JPEGSupport&) = delete;

private:
    bool FRegistered = false;
};
