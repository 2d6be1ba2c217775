// What a highlight circle costs: building its three looks once, at the first paint, and every later
// paint, which must be no dearer than a plain block copy of a bitmap of the circle's size.
#include "SetupCtrls/BoardHighlight.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int BoardWidth = 400;
constexpr int BoardHeight = 330;
constexpr int CircleLeft = 240;
constexpr int CircleTop = 152;

// A board-sized back buffer with a varied picture, standing in for the painted photograph.
class Board {
public:
    Board() {
        FBuffer.SetSize(BoardWidth, BoardHeight);
        for (int y = 0; y < BoardHeight; ++y) {
            uint8_t* pixel = FBuffer.ScanLine(y);
            for (int x = 0; x < BoardWidth; ++x, pixel += 4) {
                pixel[0] = static_cast<uint8_t>(x * 7 + y);
                pixel[1] = static_cast<uint8_t>(x + y * 3);
                pixel[2] = static_cast<uint8_t>(x ^ y);
                pixel[3] = 255;
            }
        }
    }
    // The canvas a graphic control of this size at the circle's place paints on.
    TCanvas CanvasAtCircle(int width, int height) {
        return TCanvas(&FBuffer.Image(), {CircleLeft, CircleTop},
                       Bounds(CircleLeft, CircleTop, width, height));
    }

private:
    TBitmap FBuffer;
};

void BuildLooks(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    Board board;
    TCanvas beneath = board.CanvasAtCircle(width, height);
    TBoardHighlight circle(nullptr);
    circle.SetBounds(CircleLeft, CircleTop, width, height);
    for (auto _ : state) {
        circle.BuildBitmaps(beneath);
        benchmark::DoNotOptimize(circle.IdleBitmap().ScanLine(height / 2));
    }
    state.SetItemsProcessed(state.iterations() * 3 * width * height);
}

void LaterPaint(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    Board board;
    TCanvas canvas = board.CanvasAtCircle(width, height);
    TBoardHighlight circle(nullptr);
    circle.SetBounds(CircleLeft, CircleTop, width, height);
    circle.PaintOn(canvas);
    if (!circle.Initialized())
        state.SkipWithError("the first paint did not build the looks");
    for (auto _ : state) {
        circle.PaintOn(canvas);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

void PlainBlockCopy(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    Board board;
    TCanvas canvas = board.CanvasAtCircle(width, height);
    TBitmap source;
    source.SetSize(width, height);
    const TRect whole = Rect(0, 0, width, height);
    for (auto _ : state) {
        canvas.CopyRect(whole, source.Canvas(), whole);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

// The board definition's circle is 33 x 73; a circle with default bounds is 65 x 65.
BENCHMARK(BuildLooks)->Args({33, 73})->Args({65, 65})->Unit(benchmark::kMicrosecond);
BENCHMARK(LaterPaint)->Args({33, 73})->Args({65, 65})->Unit(benchmark::kNanosecond);
BENCHMARK(PlainBlockCopy)->Args({33, 73})->Args({65, 65})->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
