// Decoding the board photograph: the platform's JPEG graphic beside a plain libjpeg loop that
// decodes the same bytes into a reused buffer, the fastest the library itself can do. The
// graphic should stay within 1.2 times the plain loop.
#include "platform/JPEGImage.h"
#include "platform/Reader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

const std::vector<uint8_t>& photo() {
    static const std::vector<uint8_t> bytes = [] {
        std::string text = DefinitionReader::ReadTextFile(":/TQ5210.jpg");
        return std::vector<uint8_t>(text.begin(), text.end());
    }();
    return bytes;
}

void decodeWithLibjpeg(const std::vector<uint8_t>& bytes, std::vector<uint8_t>& pixels) {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    size_t stride = static_cast<size_t>(info.output_width) * 4;
    pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

void PlainLibjpegIntoAReusedBuffer(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = photo();
    std::vector<uint8_t> pixels;
    for (auto _ : state) {
        decodeWithLibjpeg(bytes, pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * 600 * 495);
}
BENCHMARK(PlainLibjpegIntoAReusedBuffer)->Unit(benchmark::kMicrosecond);

void PlainLibjpegIntoAFreshBuffer(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = photo();
    for (auto _ : state) {
        std::vector<uint8_t> pixels;
        decodeWithLibjpeg(bytes, pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * 600 * 495);
}
BENCHMARK(PlainLibjpegIntoAFreshBuffer)->Unit(benchmark::kMicrosecond);

void TJPEGImageLoadFromBytes(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = photo();
    TJPEGImage image;
    for (auto _ : state) {
        image.LoadFromBytes(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(image.Bitmap().ScanLine(0));
    }
    state.SetItemsProcessed(state.iterations() * 600 * 495);
}
BENCHMARK(TJPEGImageLoadFromBytes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
