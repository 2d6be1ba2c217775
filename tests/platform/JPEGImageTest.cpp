#include "platform/JPEGImage.h"
#include "platform/Reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <functional>

#include <jpeglib.h>

namespace {

std::vector<uint8_t> photoBytes() {
    std::string text = DefinitionReader::ReadTextFile(":/TQ5210.jpg");
    return {text.begin(), text.end()};
}

// The photo with the frame header's height and width replaced.
std::vector<uint8_t> photoClaimingSize(uint16_t width, uint16_t height) {
    std::vector<uint8_t> bytes = photoBytes();
    for (size_t i = 2; i + 9 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = static_cast<uint8_t>(height >> 8);
            bytes[i + 6] = static_cast<uint8_t>(height & 0xFF);
            bytes[i + 7] = static_cast<uint8_t>(width >> 8);
            bytes[i + 8] = static_cast<uint8_t>(width & 0xFF);
            return bytes;
        }
    }
    ADD_FAILURE() << "the photo has no baseline frame header";
    return bytes;
}

// An 8 x 8 grey picture from libjpeg's encoder, with the coding configure chooses.
std::vector<uint8_t> encodeSmallGrey(const std::function<void(jpeg_compress_struct&)>& configure) {
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = 1;
    info.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    configure(info);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            row[x] = static_cast<uint8_t>(x * 30 + y * 3);
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    free(buffer);
    return bytes;
}

// A progressive picture of the given number of scans (64 to 127): the DC scan, a first scan of
// each AC coefficient, then refinements.
std::vector<uint8_t> progressiveWithScans(int count) {
    std::vector<jpeg_scan_info> scans;
    scans.push_back({1, {0}, 0, 0, 0, 0});
    for (int k = 1; k <= 63; ++k)
        scans.push_back({1, {0}, k, k, 0, 1});
    for (int k = 1; static_cast<int>(scans.size()) < count; ++k)
        scans.push_back({1, {0}, k, k, 1, 0});
    return encodeSmallGrey([&](jpeg_compress_struct& info) {
        info.scan_info = scans.data();
        info.num_scans = count;
    });
}

std::vector<std::string> formatsOf(const std::string& graphicClassName) {
    std::vector<std::string> result;
    for (const TPicture::FileFormat& format : TPicture::FileFormats()) {
        if (format.GraphicClassName == graphicClassName)
            result.push_back(format.Extension + " " + format.Description);
    }
    return result;
}

TEST(JPEGSupport, RegistersJpegAndJpgWhileItLivesAndNoLongerAfterwards) {
    // Start from the registry as it is before the program's units initialise.
    const std::vector<TPicture::FileFormat> saved = TPicture::FileFormats();
    TPicture::UnregisterGraphicClass("TJPEGImage");
    EXPECT_TRUE(formatsOf("TJPEGImage").empty());
    {
        JPEGSupport support;
        const std::vector<std::string> expected = {"jpeg JPEG Image File", "jpg JPEG Image File"};
        EXPECT_EQ(formatsOf("TJPEGImage"), expected);
        {
            JPEGSupport second;
            EXPECT_EQ(formatsOf("TJPEGImage"), expected);
        }
        EXPECT_EQ(formatsOf("TJPEGImage"), expected) << "a second instance took the registration away";
        TPicture picture;
        picture.LoadFromData("TJPEGImage", photoBytes());
        EXPECT_EQ(picture.Width(), 600);
    }
    EXPECT_TRUE(formatsOf("TJPEGImage").empty());
    TPicture picture;
    EXPECT_THROW(picture.LoadFromData("TJPEGImage", photoBytes()), EInvalidGraphic);

    for (const TPicture::FileFormat& format : saved) {
        if (format.GraphicClassName == "TJPEGImage")
            TPicture::RegisterFileFormat(format.Extension, format.Description, format.GraphicClassName,
                                         format.Factory);
    }
}

TEST(JPEGImage, DecodesTheBoardPhotographAndReportsItsHeader) {
    std::vector<uint8_t> bytes = photoBytes();
    TJPEGImage image;
    image.LoadFromBytes(bytes.data(), bytes.size());
    EXPECT_EQ(image.Width(), 600);
    EXPECT_EQ(image.Height(), 495);
    const TJPEGImage::Header& info = image.Info();
    EXPECT_EQ(info.Width, 600);
    EXPECT_EQ(info.Height, 495);
    EXPECT_EQ(info.Components, 3);
    EXPECT_EQ(info.LumaHorizontalSampling, 2);
    EXPECT_EQ(info.LumaVerticalSampling, 2);
    EXPECT_FALSE(info.Progressive);
    EXPECT_TRUE(info.HasJFIF);
    EXPECT_EQ(info.JFIFMajor, 1);
    EXPECT_EQ(info.JFIFMinor, 1);
    EXPECT_EQ(info.DensityUnit, 1); // dots per inch
    EXPECT_EQ(info.XDensity, 72);
    EXPECT_EQ(info.YDensity, 72);
}

TEST(JPEGImage, DecodesAProgressivePictureOfAHundredScans) {
    std::vector<uint8_t> bytes = progressiveWithScans(100);
    TJPEGImage image;
    image.LoadFromBytes(bytes.data(), bytes.size());
    EXPECT_TRUE(image.Info().Progressive);
    EXPECT_EQ(image.Width(), 8);
    EXPECT_EQ(image.Height(), 8);
    // A grey picture: the left column is darker than the right one.
    EXPECT_LT(image.Bitmap().ScanLine(4)[0], image.Bitmap().ScanLine(4)[4 * 7]);
}

// Decodes with libjpeg's plain RGB output, for comparing channel order.
std::vector<uint8_t> decodeRGB(const std::vector<uint8_t>& bytes, int& width) {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    std::vector<uint8_t> pixels(static_cast<size_t>(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + static_cast<size_t>(info.output_scanline) * info.output_width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels;
}

TEST(JPEGImage, PixelsLandInTheBitmapAsBlueGreenRed) {
    std::vector<uint8_t> bytes = photoBytes();
    TJPEGImage image;
    image.LoadFromBytes(bytes.data(), bytes.size());
    int width = 0;
    std::vector<uint8_t> rgb = decodeRGB(bytes, width);
    int differentChannels = 0;
    for (auto [x, y] : {std::pair{0, 0}, {599, 0}, {0, 494}, {599, 494}, {300, 247}, {123, 456}, {457, 89}}) {
        SCOPED_TRACE(testing::Message() << x << ", " << y);
        const uint8_t* expected = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        const uint8_t* actual = image.Bitmap().ScanLine(y) + x * 4;
        EXPECT_EQ(actual[0], expected[2]); // blue
        EXPECT_EQ(actual[1], expected[1]); // green
        EXPECT_EQ(actual[2], expected[0]); // red
        differentChannels += expected[0] != expected[2];
    }
    EXPECT_GT(differentChannels, 0) << "the sample points cannot tell red from blue";
}

struct BadData {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* libjpegMessage;
};

std::vector<BadData> badData() {
    std::vector<uint8_t> photo = photoBytes();
    std::vector<uint8_t> scanOverwritten = photo;
    std::fill(scanOverwritten.begin() + 40000, scanOverwritten.begin() + 40400, 0xFF);
    return {
        {"truncated in the scan",
         {photo.begin(), photo.begin() + photo.size() / 2},
         "Premature end of JPEG file"},
        {"truncated in the header", {photo.begin(), photo.begin() + 300}, "Premature end of JPEG file"},
        {"scan data overwritten", scanOverwritten, "Corrupt JPEG data"},
        {"not a JPEG at all",
         {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0},
         "Not a JPEG file: starts with 0x47 0x49"},
        {"a frame of billions of pixels", photoClaimingSize(65000, 65000),
         "too large (65000 x 65000 pixels)"},
        {"no bytes at all", {}, "it is empty"},
        // A scan may cost a few bytes yet be a pass over the whole picture.
        {"more scans than any encoder writes", progressiveWithScans(101), "more than 100 scans"},
        {"arithmetic coding", encodeSmallGrey([](jpeg_compress_struct& info) { info.arith_code = TRUE; }),
         "arithmetic-coded pictures are not supported"},
    };
}

TEST(JPEGImage, BadDataRaisesInvalidGraphicWithLibjpegsMessageAndKeepsThePreviousPicture) {
    std::vector<uint8_t> photo = photoBytes();
    for (const BadData& bad : badData()) {
        SCOPED_TRACE(bad.what);
        TJPEGImage image;
        image.LoadFromBytes(photo.data(), photo.size());
        uint32_t pixelBefore = *reinterpret_cast<const uint32_t*>(image.Bitmap().ScanLine(200) + 4 * 300);
        int changes = 0;
        image.OnChange = [&](TObject*) {
            ++changes;
        };
        try {
            image.LoadFromBytes(bad.bytes.data(), bad.bytes.size());
            ADD_FAILURE() << "no error raised";
        } catch (const EInvalidGraphic& error) {
            std::string message = error.what();
            EXPECT_EQ(message.rfind("The picture data is not a valid JPEG image: ", 0), 0u) << message;
            EXPECT_NE(message.find(bad.libjpegMessage), std::string::npos) << message;
        }
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(image.Width(), 600);
        EXPECT_EQ(image.Height(), 495);
        EXPECT_EQ(image.Info().Width, 600);
        EXPECT_EQ(*reinterpret_cast<const uint32_t*>(image.Bitmap().ScanLine(200) + 4 * 300), pixelBefore);
    }
}

TEST(Picture, AFailedLoadLeavesThePreviousPictureInPlace) {
    TPicture picture;
    picture.LoadFromData("TJPEGImage", photoBytes());
    TGraphic* before = picture.Graphic();
    int changes = 0;
    picture.OnChange = [&](TObject*) {
        ++changes;
    };
    for (const BadData& bad : badData()) {
        SCOPED_TRACE(bad.what);
        EXPECT_THROW(picture.LoadFromData("TJPEGImage", bad.bytes), EInvalidGraphic);
        EXPECT_EQ(picture.Graphic(), before);
        EXPECT_EQ(picture.Width(), 600);
    }
    EXPECT_EQ(changes, 0);
}

TEST(Picture, AnUnregisteredGraphicKindIsAClearError) {
    TPicture picture;
    picture.LoadFromData("TJPEGImage", photoBytes());
    try {
        picture.LoadFromData("TGIFImage", photoBytes());
        FAIL() << "no error raised";
    } catch (const EInvalidGraphic& error) {
        EXPECT_STREQ(error.what(),
                     "Unknown picture kind 'TGIFImage': no picture format of that kind is registered");
    }
    EXPECT_EQ(picture.Width(), 600);
}

TEST(Picture, AssignCopiesTheGraphicAndTellsOnChange) {
    TPicture source;
    source.LoadFromData("TJPEGImage", photoBytes());
    TPicture copy;
    int changes = 0;
    copy.OnChange = [&](TObject*) {
        ++changes;
    };
    copy.Assign(source);
    ASSERT_NE(copy.Graphic(), nullptr);
    EXPECT_NE(copy.Graphic(), source.Graphic());
    EXPECT_STREQ(copy.Graphic()->ClassName(), "TJPEGImage");
    EXPECT_EQ(copy.Width(), 600);
    EXPECT_EQ(copy.Height(), 495);
    EXPECT_GE(changes, 1);
}

} // namespace
