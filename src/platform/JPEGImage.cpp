#include "JPEGImage.h"

#include <QImage>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

namespace {

constexpr uint64_t maximumPixels = 8192ull * 8192ull;
// Each scan of a progressive or multi-scan picture is a pass over the whole picture and may cost a
// few bytes, so a small file could ask for minutes of decoding; encoders write a few dozen at most.
constexpr int maximumScans = 100;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onFatalError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Corrupt-data warnings would otherwise let garbage through; they end the decode as errors do.
void onWarning(j_common_ptr info, int level) {
    if (level < 0)
        onFatalError(info);
}

// libjpeg reports progress while it reads, which is where a picture of too many scans is stopped.
void onProgress(j_common_ptr info) {
    if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= maximumScans)
        return;
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    std::snprintf(errors->message, JMSG_LENGTH_MAX, "the picture has more than %d scans", maximumScans);
    std::longjmp(errors->jump, 1);
}

// Decodes into image; returns false with libjpeg's message when the data is bad. Kept free of
// objects with destructors because libjpeg reports errors by jumping out of its own calls.
bool decode(const uint8_t* data, size_t size, QImage& image, TJPEGImage::Header& header, char* message) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onFatalError;
    errors.base.emit_message = onWarning;
    errors.message[0] = '\0';
    if (setjmp(errors.jump)) {
        std::strncpy(message, errors.message, JMSG_LENGTH_MAX);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_progress_mgr progress{};
    progress.progress_monitor = onProgress;
    info.progress = &progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    // A corrupt header can claim a picture of billions of pixels; refuse it before allocating.
    if (static_cast<uint64_t>(info.image_width) * info.image_height > maximumPixels) {
        std::snprintf(message, JMSG_LENGTH_MAX, "the picture is too large (%u x %u pixels)", info.image_width,
                      info.image_height);
        jpeg_destroy_decompress(&info);
        return false;
    }
    // Arithmetic coding lets a couple of hundred bytes stand for the largest picture, and libjpeg
    // fills a scan whose data is missing without a warning, so corrupt data would pass unnoticed.
    if (info.arith_code) {
        std::strncpy(message, "arithmetic-coded pictures are not supported", JMSG_LENGTH_MAX);
        jpeg_destroy_decompress(&info);
        return false;
    }
    header.Width = static_cast<int>(info.image_width);
    header.Height = static_cast<int>(info.image_height);
    header.Components = info.num_components;
    header.LumaHorizontalSampling = info.comp_info[0].h_samp_factor;
    header.LumaVerticalSampling = info.comp_info[0].v_samp_factor;
    header.Progressive = info.progressive_mode;
    header.HasJFIF = info.saw_JFIF_marker;
    header.JFIFMajor = info.JFIF_major_version;
    header.JFIFMinor = info.JFIF_minor_version;
    header.DensityUnit = info.density_unit;
    header.XDensity = info.X_density;
    header.YDensity = info.Y_density;
    // libjpeg-turbo writes blue, green, red and a fourth byte: the bitmap's own pixel layout.
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    if (image.width() != static_cast<int>(info.output_width) ||
        image.height() != static_cast<int>(info.output_height))
        image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                       QImage::Format_RGB32);
    if (image.isNull()) {
        std::strncpy(message, "the picture is too large", JMSG_LENGTH_MAX);
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

TJPEGImage::TJPEGImage() : FBitmap(std::make_unique<TBitmap>()) {}
TJPEGImage::~TJPEGImage() = default;

int TJPEGImage::Width() const {
    return FBitmap->Width();
}
int TJPEGImage::Height() const {
    return FBitmap->Height();
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect) const {
    FBitmap->Draw(canvas, rect);
}

void TJPEGImage::LoadFromBytes(const uint8_t* data, size_t size) {
    if (data == nullptr || size == 0)
        throw EInvalidGraphic("The picture data is not a valid JPEG image: it is empty");
    QImage image;
    Header header;
    char message[JMSG_LENGTH_MAX] = {};
    if (!decode(data, size, image, header, message))
        throw EInvalidGraphic(std::string("The picture data is not a valid JPEG image: ") + message);
    FBitmap->Image() = std::move(image);
    FHeader = header;
    Changed();
}

JPEGSupport::JPEGSupport() {
    // A second instance (a test beside the program's own) must not register the kind twice, nor
    // take the first one's registration away when it goes.
    const auto& formats = TPicture::FileFormats();
    if (std::any_of(formats.begin(), formats.end(),
                    [](const auto& f) { return f.GraphicClassName == TJPEGImage::StaticClassName; }))
        return;
    auto factory = [] {
        return std::unique_ptr<TGraphic>(std::make_unique<TJPEGImage>());
    };
    TPicture::RegisterFileFormat("jpeg", "JPEG Image File", TJPEGImage::StaticClassName, factory);
    TPicture::RegisterFileFormat("jpg", "JPEG Image File", TJPEGImage::StaticClassName, factory);
    FRegistered = true;
}

JPEGSupport::~JPEGSupport() {
    if (FRegistered)
        TPicture::UnregisterGraphicClass(TJPEGImage::StaticClassName);
}
