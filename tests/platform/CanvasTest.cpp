#include "platform/Controls.h"
#include "platform/Graphics.h"

#include <QImage>

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr TColor penColor = clRed;
constexpr TColor brushColor = clBlue;

struct Point {
    int X;
    int Y;
    TColor Expected;
};

// A white bitmap whose canvas draws with a red pen and a blue brush.
struct Surface {
    explicit Surface(int width = 20, int height = 20) {
        bitmap.SetSize(width, height);
        bitmap.Canvas().Pen.Color = penColor;
        bitmap.Canvas().Brush.Color = brushColor;
    }
    TCanvas& canvas() { return bitmap.Canvas(); }
    TColor at(int x, int y) { return bitmap.Canvas().Pixel(x, y); }
    TBitmap bitmap;
};

void expectPixels(Surface& surface, const std::vector<Point>& points) {
    for (const Point& point : points) {
        SCOPED_TRACE(testing::Message() << "pixel (" << point.X << ", " << point.Y << ")");
        EXPECT_EQ(surface.at(point.X, point.Y), point.Expected);
    }
}

// A bitmap whose every pixel has its own colour: red = 10 x, green = 10 y, blue 7.
void fillPattern(TBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x)
            bitmap.Canvas().SetPixel(x, y, RGB(10 * x, 10 * y, 7));
    }
}

TEST(Canvas, RectangleWithPenOutlinesItsOutermostPixelsAndLeavesRightAndBottomEdgesOut) {
    Surface surface;
    surface.canvas().Rectangle(2, 3, 8, 9);
    expectPixels(surface, {{2, 3, penColor},
                           {7, 3, penColor},
                           {2, 8, penColor},
                           {7, 8, penColor},
                           {5, 3, penColor},
                           {2, 6, penColor},
                           {7, 6, penColor},
                           {5, 8, penColor},
                           {3, 4, brushColor},
                           {6, 7, brushColor},
                           {5, 5, brushColor},
                           {8, 5, clWhite},
                           {5, 9, clWhite},
                           {8, 9, clWhite},
                           {1, 5, clWhite},
                           {5, 2, clWhite}});
}

TEST(Canvas, RectangleWithoutPenFillsTheWholeBoxOnly) {
    Surface surface;
    surface.canvas().Pen.Style = psClear;
    surface.canvas().Rectangle(2, 3, 8, 9);
    expectPixels(surface, {{2, 3, brushColor},
                           {7, 3, brushColor},
                           {2, 8, brushColor},
                           {7, 8, brushColor},
                           {5, 5, brushColor},
                           {8, 5, clWhite},
                           {5, 9, clWhite},
                           {1, 5, clWhite},
                           {5, 2, clWhite}});
}

TEST(Canvas, RectangleWithClearBrushDrawsTheOutlineOnly) {
    Surface surface;
    surface.canvas().Brush.Style = bsClear;
    surface.canvas().Rectangle(2, 3, 8, 9);
    expectPixels(surface, {{2, 3, penColor}, {7, 8, penColor}, {5, 5, clWhite}, {3, 4, clWhite}});
}

TEST(Canvas, EllipseTouchesTheMiddleOfEachSideOfItsBoxAndNotTheCorners) {
    // An 11 x 11 box has a middle pixel on each side: column and row 5.
    Surface surface;
    surface.canvas().Ellipse(0, 0, 11, 11);
    expectPixels(surface, {{0, 5, penColor},
                           {10, 5, penColor},
                           {5, 0, penColor},
                           {5, 10, penColor},
                           {5, 5, brushColor},
                           {2, 5, brushColor},
                           {11, 5, clWhite},
                           {5, 11, clWhite},
                           {0, 0, clWhite},
                           {10, 0, clWhite},
                           {0, 10, clWhite},
                           {10, 10, clWhite}});
}

TEST(Canvas, EllipseWithoutPenIsFilledUpToItsBoxOnly) {
    Surface surface;
    surface.canvas().Pen.Style = psClear;
    surface.canvas().Ellipse(0, 0, 11, 11);
    expectPixels(surface, {{0, 5, brushColor},
                           {10, 5, brushColor},
                           {5, 0, brushColor},
                           {5, 10, brushColor},
                           {5, 5, brushColor},
                           {11, 5, clWhite},
                           {5, 11, clWhite},
                           {0, 0, clWhite},
                           {10, 10, clWhite}});
}

TEST(Canvas, RoundRectHasStraightSidesOnItsOutermostPixelsAndRoundedCorners) {
    Surface surface;
    surface.canvas().RoundRect(0, 0, 12, 10, 6, 6);
    expectPixels(surface, {{6, 0, penColor},
                           {6, 9, penColor},
                           {0, 5, penColor},
                           {11, 5, penColor},
                           {6, 5, brushColor},
                           {0, 0, clWhite},
                           {11, 0, clWhite},
                           {0, 9, clWhite},
                           {11, 9, clWhite},
                           {12, 5, clWhite},
                           {6, 10, clWhite}});
}

TEST(Canvas, RoundRectWithoutPenFillsUpToItsBox) {
    Surface surface;
    surface.canvas().Pen.Style = psClear;
    surface.canvas().RoundRect(0, 0, 12, 10, 6, 6);
    expectPixels(surface, {{6, 0, brushColor},
                           {6, 9, brushColor},
                           {0, 5, brushColor},
                           {11, 5, brushColor},
                           {0, 0, clWhite},
                           {11, 9, clWhite},
                           {12, 5, clWhite},
                           {6, 10, clWhite}});
}

TEST(Canvas, EllipsesAndRoundRectsAreMirrorSymmetricAndTouchEverySideOfTheirBox) {
    // A drawing's left and right halves must be mirror images (a jumper's two pins are drawn as
    // an ellipse and its mirror image), and so must its top and bottom halves.
    struct Case {
        int width, height;
        bool rounded;
        bool pen;
    };
    const Case cases[] = {{11, 11, false, true}, {10, 10, false, true}, {6, 6, false, false},
                          {33, 73, false, true}, {16, 5, false, false}, {12, 10, true, true},
                          {32, 16, true, true},  {32, 16, true, false}, {7, 18, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.width << " x " << c.height << (c.rounded ? " round rect" : " ellipse")
                     << (c.pen ? " with pen" : " without pen"));
        Surface surface(80, 80);
        if (!c.pen)
            surface.canvas().Pen.Style = psClear;
        if (c.rounded)
            surface.canvas().RoundRect(2, 3, 2 + c.width, 3 + c.height, 9, 9);
        else
            surface.canvas().Ellipse(2, 3, 2 + c.width, 3 + c.height);
        auto at = [&](int x, int y) {
            return surface.at(2 + x, 3 + y);
        };
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                ASSERT_EQ(at(x, y), at(c.width - 1 - x, y)) << "left-right at " << x << ", " << y;
                ASSERT_EQ(at(x, y), at(x, c.height - 1 - y)) << "top-bottom at " << x << ", " << y;
            }
        }
        bool touchesTop = false, touchesLeft = false;
        for (int x = 0; x < c.width; ++x)
            touchesTop |= at(x, 0) != clWhite;
        for (int y = 0; y < c.height; ++y)
            touchesLeft |= at(0, y) != clWhite;
        EXPECT_TRUE(touchesTop);
        EXPECT_TRUE(touchesLeft);
        EXPECT_EQ(at(0, 0), clWhite); // a corner of the box stays outside the figure
        EXPECT_EQ(at(c.width / 2, c.height / 2), c.pen && c.width < 3 ? penColor : brushColor);
    }
}

TEST(Canvas, FiguresAreDrawnWithoutAntialiasing) {
    struct Figure {
        const char* name;
        std::function<void(TCanvas&)> draw;
    };
    const Figure figures[] = {
        {"ellipse",
         [](TCanvas& c) {
             c.Ellipse(1, 2, 18, 15);
         }},
        {"round rect",
         [](TCanvas& c) {
             c.RoundRect(1, 2, 18, 15, 9, 7);
         }},
        {"ellipse without pen",
         [](TCanvas& c) {
             c.Pen.Style = psClear, c.Ellipse(1, 2, 18, 15);
         }},
        {"thick pen",
         [](TCanvas& c) {
             c.Pen.Width = 3, c.Ellipse(1, 2, 18, 15);
         }},
    };
    for (const Figure& figure : figures) {
        SCOPED_TRACE(figure.name);
        Surface surface;
        figure.draw(surface.canvas());
        std::set<TColor> colors;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x)
                colors.insert(surface.at(x, y));
        }
        for (TColor color : colors)
            EXPECT_TRUE(color == clWhite || color == penColor || color == brushColor) << std::hex << color;
        EXPECT_TRUE(colors.contains(brushColor));
    }
}

TEST(Canvas, SetPixelWritesBlueGreenRedIntoTheScanLineAndPixelReadsItBack) {
    Surface surface;
    surface.canvas().SetPixel(3, 4, RGB(1, 2, 3));
    EXPECT_EQ(surface.at(3, 4), RGB(1, 2, 3));
    const uint8_t* row = surface.bitmap.ScanLine(4);
    EXPECT_EQ(row[3 * 4 + 0], 3);
    EXPECT_EQ(row[3 * 4 + 1], 2);
    EXPECT_EQ(row[3 * 4 + 2], 1);
    EXPECT_EQ(surface.at(2, 4), clWhite);
    EXPECT_EQ(surface.at(3, 3), clWhite);

    surface.canvas().SetPixel(0, 0, clWindowText); // a system colour is resolved before it is written
    EXPECT_EQ(surface.at(0, 0), clBlack);
    EXPECT_EQ(surface.at(-1, 0), clNone);
    EXPECT_EQ(surface.at(0, 20), clNone);
    surface.canvas().SetPixel(20, 0, clBlack); // outside: ignored
}

TEST(Canvas, CopyRectCopiesABlockOfPixelsExactly) {
    TBitmap source;
    source.SetSize(10, 10);
    fillPattern(source);
    Surface surface;
    surface.canvas().CopyRect(Rect(5, 6, 9, 9), source.Canvas(), Rect(1, 2, 5, 5));
    expectPixels(surface, {{5, 6, RGB(10, 20, 7)},
                           {8, 6, RGB(40, 20, 7)},
                           {8, 8, RGB(40, 40, 7)},
                           {6, 7, RGB(20, 30, 7)},
                           {9, 6, clWhite},
                           {4, 6, clWhite},
                           {5, 9, clWhite},
                           {5, 5, clWhite}});
}

TEST(Canvas, CopyRectFromAPartlyMissingSourceCopiesOnlyWhatExists) {
    TBitmap source;
    source.SetSize(10, 10);
    fillPattern(source);
    Surface surface;
    surface.canvas().CopyRect(Rect(0, 0, 6, 6), source.Canvas(), Rect(7, 7, 13, 13));
    expectPixels(surface, {{0, 0, RGB(70, 70, 7)},
                           {2, 2, RGB(90, 90, 7)},
                           {2, 0, RGB(90, 70, 7)},
                           {3, 0, clWhite},
                           {0, 3, clWhite},
                           {5, 5, clWhite}});
    // Part of the destination lies beyond the bitmap: the rest is still copied.
    surface.canvas().CopyRect(Rect(17, 17, 23, 23), source.Canvas(), Rect(0, 0, 6, 6));
    expectPixels(surface, {{17, 17, RGB(0, 0, 7)}, {19, 19, RGB(20, 20, 7)}, {16, 17, clWhite}});
}

TEST(Canvas, CopyRectWithinOneBitmapReadsTheSourceBeforeOverwritingIt) {
    TBitmap bitmap;
    bitmap.SetSize(10, 10);
    fillPattern(bitmap);
    bitmap.Canvas().CopyRect(Rect(2, 0, 10, 10), bitmap.Canvas(), Rect(0, 0, 8, 10));
    EXPECT_EQ(bitmap.Canvas().Pixel(2, 0), RGB(0, 0, 7));
    EXPECT_EQ(bitmap.Canvas().Pixel(9, 3), RGB(70, 30, 7));
    EXPECT_EQ(bitmap.Canvas().Pixel(5, 9), RGB(30, 90, 7));
    EXPECT_EQ(bitmap.Canvas().Pixel(1, 0), RGB(10, 0, 7)); // left of the destination: unchanged
}

TEST(Canvas, CopyRectToALargerRectangleRepeatsPixelsWithoutBlending) {
    TBitmap source;
    source.SetSize(10, 10);
    fillPattern(source);
    Surface surface;
    surface.canvas().CopyRect(Rect(0, 0, 4, 4), source.Canvas(), Rect(0, 0, 2, 2));
    expectPixels(surface, {{0, 0, RGB(0, 0, 7)},
                           {1, 1, RGB(0, 0, 7)},
                           {2, 0, RGB(10, 0, 7)},
                           {3, 3, RGB(10, 10, 7)},
                           {0, 3, RGB(0, 10, 7)},
                           {4, 0, clWhite}});
}

TEST(Canvas, CopyRectReadsThroughTheSourceCanvasOrigin) {
    TBitmap source;
    source.SetSize(10, 10);
    fillPattern(source);
    TCanvas shifted(&source.Image(), {3, 4}, Rect(3, 4, 10, 10));
    Surface surface;
    surface.canvas().CopyRect(Rect(0, 0, 2, 2), shifted, Rect(0, 0, 2, 2));
    expectPixels(surface, {{0, 0, RGB(30, 40, 7)}, {1, 1, RGB(40, 50, 7)}, {2, 0, clWhite}});
}

TEST(Canvas, ACanvasWithOriginAndClipNeverDrawsOutsideItsClip) {
    // The canvas a graphic control gets: origin at its position, clipped to its bounds.
    const TRect clip = Bounds(5, 5, 6, 4);
    TBitmap other;
    other.SetSize(40, 40);
    fillPattern(other);
    struct Drawing {
        const char* name;
        std::function<void(TCanvas&)> draw;
    };
    const Drawing drawings[] = {
        {"rectangle",
         [](TCanvas& c) {
             c.Rectangle(-10, -10, 30, 30);
         }},
        {"rectangle without pen",
         [](TCanvas& c) {
             c.Pen.Style = psClear, c.Rectangle(-10, -10, 30, 30);
         }},
        {"ellipse",
         [](TCanvas& c) {
             c.Ellipse(-8, -8, 22, 22);
         }},
        {"round rect",
         [](TCanvas& c) {
             c.RoundRect(-3, -3, 20, 20, 5, 5);
         }},
        {"fill",
         [](TCanvas& c) {
             c.FillRect(Rect(-5, -5, 50, 50));
         }},
        {"text",
         [](TCanvas& c) {
             c.TextOut(-2, -2, "WWWWWWWWWWWW");
         }},
        {"pixels",
         [](TCanvas& c) {
             for (int y = -6; y < 16; ++y)
                 for (int x = -6; x < 16; ++x)
                     c.SetPixel(x, y, clMaroon);
         }},
        {"block copy",
         [&](TCanvas& c) {
             c.CopyRect(Rect(-5, -5, 35, 35), other.Canvas(), Rect(0, 0, 40, 40));
         }},
        {"scaled copy",
         [&](TCanvas& c) {
             c.CopyRect(Rect(-5, -5, 30, 30), other.Canvas(), Rect(0, 0, 3, 3));
         }},
        {"stretched bitmap",
         [&](TCanvas& c) {
             c.StretchDraw(Rect(-9, -9, 30, 30), other);
         }},
    };
    for (const Drawing& drawing : drawings) {
        SCOPED_TRACE(drawing.name);
        Surface surface;
        TCanvas canvas(&surface.bitmap.Image(), {clip.Left, clip.Top}, clip);
        canvas.Pen.Color = penColor;
        canvas.Brush.Color = brushColor;
        EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 6, 4));
        drawing.draw(canvas);
        int changedInside = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                bool inside = PtInRect(clip, {x, y});
                if (inside)
                    changedInside += surface.at(x, y) != clWhite;
                else if (surface.at(x, y) != clWhite)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") outside the clip was drawn";
            }
        }
        EXPECT_GT(changedInside, 0);
        EXPECT_EQ(canvas.Pixel(-1, 0), clNone);
        EXPECT_EQ(canvas.Pixel(6, 0), clNone);
    }
}

TEST(Canvas, AnEmptyClipDrawsNothing) {
    Surface surface;
    TCanvas canvas(&surface.bitmap.Image(), {0, 0}, Rect(8, 8, 4, 4));
    canvas.Brush.Color = brushColor;
    canvas.Rectangle(0, 0, 20, 20);
    canvas.FillRect(Rect(0, 0, 20, 20));
    canvas.SetPixel(5, 5, clRed);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(surface.at(x, y), clWhite) << x << ", " << y;
    }
}

// A graphic control that fills far more than its own bounds.
class Overpainter : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        Canvas().Brush.Color = clRed;
        Canvas().FillRect(Rect(-100, -100, 100, 100));
        Canvas().Ellipse(-50, -50, 50, 50);
    }
};

TEST(Canvas, AGraphicControlPaintsOnlyInsideItsBoundsInItsParentsBuffer) {
    TCustomControl parent(nullptr);
    parent.SetBounds(0, 0, 40, 30);
    parent.SetColor(clWhite);
    auto* child = new Overpainter(&parent);
    child->SetParent(&parent);
    child->SetBounds(10, 5, 8, 6);
    parent.PaintToBuffer(parent.ClientRect());
    TBitmap* buffer = parent.BackBuffer();
    ASSERT_NE(buffer, nullptr);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            bool inside = PtInRect(child->BoundsRect(), {x, y});
            if ((buffer->Canvas().Pixel(x, y) == clRed) != inside)
                ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
        }
    }
}

} // namespace
