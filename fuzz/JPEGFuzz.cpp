// Feeds arbitrary bytes to the JPEG decoder as picture data. Bad data must end in
// EInvalidGraphic; a decoded picture must match its header and draw, stretched, like the board
// photograph does. Anything else (a crash, a hang, a huge allocation, a sanitizer report) is a finding.
#include "platform/JPEGImage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TJPEGImage image;
    try {
        image.LoadFromBytes(data, size);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    if (image.Width() != image.Info().Width || image.Height() != image.Info().Height || image.Width() <= 0 ||
        image.Height() <= 0)
        std::abort();
    TBitmap target;
    target.SetSize(40, 30);
    image.Draw(target.Canvas(), TRect{0, 0, 40, 30});
    return 0;
}
