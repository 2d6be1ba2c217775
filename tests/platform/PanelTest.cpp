#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Panel, DrawsItsCaptionCentred) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    TPanel panel(&form);
    panel.SetParent(&form);
    panel.SetBounds(10, 10, 200, 60);
    panel.SetBevelOuter(bvNone);
    panel.SetColor(clWhite);
    TFont font = panel.Font();
    font.Color = clBlack;
    font.Height = -20;
    panel.SetFont(font);
    panel.SetCaption("MMMM");
    form.Show();
    ASSERT_TRUE(WaitFor([&] { return panel.BackBuffer() != nullptr; }));
    ProcessPendingEvents();

    // The box around the caption's dark pixels sits in the middle of the panel.
    int left = 200, right = -1, top = 60, bottom = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (GetRValue(PaintedPixel(panel, x, y)) < 128) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, left) << "no caption drawn";
    EXPECT_NEAR((left + right) / 2.0, 100, 3);
    EXPECT_NEAR((top + bottom) / 2.0, 30, 4);
    form.Hide();
}

} // namespace
