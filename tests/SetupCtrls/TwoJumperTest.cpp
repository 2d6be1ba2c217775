#include "SetupCtrls/TwoJumper.h"

#include "SetupCtrls/RadioPanel.h"
#include "platform/Forms.h"
#include "platform/Reader.h"
#include "platform/StdCtrls.h"
#include "support/TestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The colours of the default drawing, as they land in a 32-bit buffer.
constexpr TColor ButtonFace = RGB(240, 240, 240); // clBtnFace as the platform resolves it
constexpr TColor Black = RGB(0, 0, 0);
constexpr TColor Grey = RGB(128, 128, 128);
constexpr TColor Yellow = RGB(255, 255, 0);
constexpr TColor DarkRed = RGB(128, 0, 0);

std::string describe(TColor color) {
    return "RGB(" + std::to_string(GetRValue(color)) + ", " + std::to_string(GetGValue(color)) + ", " +
           std::to_string(GetBValue(color)) + ")";
}

// A pixel of the jumper as painted, in the jumper's own coordinates, and what it should be.
struct KeyPoint {
    int x, y;
    TColor expected;
    const char* what;
};

// A jumper on a parent panel of the given class, painted synchronously into the panel's buffer.
// The jumper stands away from the panel's edges so the panel's own colour surrounds it.
template <class Panel> struct JumperOn {
    static constexpr int JumperLeft = 10, JumperTop = 12;
    Panel panel{nullptr};
    TTwoJumper* jumper; // owned by the panel

    JumperOn(int width, int height) {
        panel.SetBounds(0, 0, 120, 80);
        jumper = new TTwoJumper(&panel);
        jumper->SetParent(&panel);
        jumper->SetBounds(JumperLeft, JumperTop, width, height);
    }
    void paint() { panel.PaintToBuffer(panel.ClientRect()); }
    TColor pixel(int x, int y) { return PaintedPixel(panel, JumperLeft + x, JumperTop + y); }
    void expectKeyPoints(const std::vector<KeyPoint>& points) {
        for (const KeyPoint& point : points) {
            SCOPED_TRACE(std::string(point.what) + " at (" + std::to_string(point.x) + ", " +
                         std::to_string(point.y) + ")");
            EXPECT_EQ(describe(pixel(point.x, point.y)), describe(point.expected));
        }
    }
};

class TDerivedRadioPanel : public TRadioPanel {
    PLATFORM_CLASS(TDerivedRadioPanel, TRadioPanel)
public:
    using TRadioPanel::TRadioPanel;
};

// Counts repaint requests. It keeps the class name TTwoJumper.
class CountingJumper : public TTwoJumper {
public:
    using TTwoJumper::TTwoJumper;
    int Invalidations = 0;
    void Invalidate() override {
        ++Invalidations;
        TTwoJumper::Invalidate();
    }
};

TEST(TwoJumper, ConstructorState) {
    TTwoJumper jumper(nullptr);
    EXPECT_EQ(jumper.Width(), 34);
    EXPECT_EQ(jumper.Height(), 18);
    EXPECT_EQ(jumper.Orientation(), otUp);
    EXPECT_FALSE(jumper.Closed());
    EXPECT_EQ(jumper.BaseColor(), 8421504);
    EXPECT_EQ(jumper.PinColor(), 65535);
    EXPECT_EQ(jumper.JumperColor(), 128);
    EXPECT_EQ(jumper.BorderStyle(), bsSingle);
    EXPECT_EQ(jumper.Anchors(), akLeft | akTop);
    EXPECT_TRUE(jumper.ControlStyle & csReplicatable);
    EXPECT_TRUE(jumper.ControlStyle & csClickEvents);
}

// The filter jumpers: 34 x 18, otDown. Drawn lying flat, the block is (1, 1, 33, 17), the pins are
// (8, 6, 14, 12) and (20, 6, 26, 12); the half turn maps drawing (x, y) to (33 - x, 17 - y), so the
// drawing's pin row 9 is row 8 on screen and the pins cover columns 8..13 and 20..25 there.
TEST(TwoJumper, FilterJumperWorkedExampleOpenAndClosed) {
    const std::vector<KeyPoint> open = {
        {0, 0, ButtonFace, "top left corner in the margin"},
        {33, 17, ButtonFace, "bottom right corner in the margin"},
        {16, 0, ButtonFace, "top margin"},
        {16, 17, ButtonFace, "bottom margin"},
        {0, 9, ButtonFace, "left margin"},
        {33, 8, ButtonFace, "right margin"},
        {1, 1, ButtonFace, "outside the rounded corner"},
        {32, 16, ButtonFace, "outside the opposite rounded corner"},
        {32, 1, ButtonFace, "outside the top right rounded corner"},
        {16, 1, Black, "top outline"},
        {16, 16, Black, "bottom outline"},
        {1, 8, Black, "left outline"},
        {32, 9, Black, "right outline"},
        {16, 4, Grey, "base block"},
        {16, 8, Grey, "base between the pins"},
        {4, 9, Grey, "base beside a pin"},
        {10, 8, Yellow, "first pin centre"},
        {11, 9, Yellow, "first pin centre"},
        {22, 8, Yellow, "second pin centre"},
        {23, 9, Yellow, "second pin centre"},
        {7, 8, Grey, "left of the pin of radius 3"},
        {8, 8, Yellow, "the pin's left edge"},
        {13, 8, Yellow, "the pin's right edge"},
        {14, 8, Grey, "right of the pin"},
        {19, 8, Grey, "left of the other pin"},
        {20, 8, Yellow, "the other pin's left edge"},
        {25, 8, Yellow, "the other pin's right edge"},
        {26, 8, Grey, "right of the other pin"},
    };
    const std::vector<KeyPoint> closed = {
        {0, 0, Black, "top left corner of the outline"},
        {33, 17, Black, "bottom right corner of the outline"},
        {16, 0, Black, "top outline"},
        {16, 17, Black, "bottom outline"},
        {0, 9, Black, "left outline"},
        {33, 8, Black, "right outline"},
        {1, 1, DarkRed, "cap inside the corner"},
        {32, 16, DarkRed, "cap inside the opposite corner"},
        {16, 4, DarkRed, "cap"},
        {16, 8, DarkRed, "cap between the pins"},
        {10, 8, Yellow, "first pin centre"},
        {23, 9, Yellow, "second pin centre"},
        {7, 8, DarkRed, "left of the pin"},
        {8, 8, Yellow, "the pin's left edge"},
        {14, 8, DarkRed, "right of the pin"},
    };
    JumperOn<TRadioPanel> host(34, 18);
    host.jumper->SetOrientation(otDown);
    host.paint();
    {
        SCOPED_TRACE("open");
        host.expectKeyPoints(open);
    }
    host.jumper->SetClosed(true);
    host.paint();
    {
        SCOPED_TRACE("closed");
        host.expectKeyPoints(closed);
    }
    EXPECT_EQ(host.jumper->Width(), 34);
    EXPECT_EQ(host.jumper->Height(), 18);
}

// Every orientation draws the same flat 34 x 18 jumper; the control is 34 x 18 for the horizontal
// ones and 18 x 34 for the vertical ones, where the pins stand one above the other.
TEST(TwoJumper, FourOrientations) {
    struct Case {
        TOrientationType orientation;
        int width, height;
        std::vector<KeyPoint> points;
    };
    const std::vector<KeyPoint> horizontal = {
        {0, 0, ButtonFace, "corner margin"},
        {1, 1, ButtonFace, "outside the rounded corner"},
        {16, 1, Black, "long outline"},
        {16, 16, Black, "other long outline"},
        {1, 9, Black, "short outline"},
        {32, 8, Black, "other short outline"},
        {16, 8, Grey, "between the pins"},
        {10, 8, Yellow, "pin"},
        {11, 9, Yellow, "pin"},
        {22, 8, Yellow, "other pin"},
        {23, 9, Yellow, "other pin"},
        {8, 16, Black, "no pin below the first one"},
    };
    // otLeft maps drawing (x, y) to (y, 33 - x); otRight maps it to (17 - y, x).
    const std::vector<KeyPoint> left = {
        {0, 0, ButtonFace, "corner margin"},
        {1, 1, ButtonFace, "outside the rounded corner"},
        {1, 17, Black, "drawing's top outline"},
        {16, 17, Black, "drawing's bottom outline"},
        {9, 1, Black, "drawing's right end"},
        {8, 32, Black, "drawing's left end"},
        {8, 17, Grey, "between the pins"},
        {8, 10, Yellow, "upper pin"},
        {9, 11, Yellow, "upper pin"},
        {8, 22, Yellow, "lower pin"},
        {9, 23, Yellow, "lower pin"},
        {16, 8, Black, "no pin beside the upper one"},
    };
    const std::vector<KeyPoint> right = {
        {17, 33, ButtonFace, "corner margin"},
        {16, 32, ButtonFace, "outside the rounded corner"},
        {16, 16, Black, "drawing's top outline"},
        {1, 16, Black, "drawing's bottom outline"},
        {8, 1, Black, "drawing's left end"},
        {9, 32, Black, "drawing's right end"},
        {9, 16, Grey, "between the pins"},
        {9, 10, Yellow, "upper pin"},
        {8, 11, Yellow, "upper pin"},
        {9, 22, Yellow, "lower pin"},
        {8, 23, Yellow, "lower pin"},
        {16, 8, Black, "no pin beside the upper one"},
    };
    const Case cases[] = {
        {otUp, 34, 18, horizontal},
        {otDown, 34, 18, horizontal},
        {otLeft, 18, 34, left},
        {otRight, 18, 34, right},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("orientation " + std::to_string(c.orientation));
        JumperOn<TRadioPanel> host(c.width, c.height);
        host.jumper->SetOrientation(c.orientation);
        host.paint();
        host.paint();
        EXPECT_EQ(host.jumper->Width(), c.width);
        EXPECT_EQ(host.jumper->Height(), c.height);
        host.expectKeyPoints(c.points);
    }
}

// With an odd height the pins' centre row H div 2 lies half a pixel above the middle, so the turned
// drawings differ. Lying flat, 34 x 17: pins (8, 5, 14, 11) and (20, 5, 26, 11) cover rows 5..10, so
// drawing row 5 crosses a pin at columns 9..12 and row 11 is plain base.
TEST(TwoJumper, OddHeightShowsWhichWayTheDrawingWasTurned) {
    struct Case {
        TOrientationType orientation;
        int width, height;
        std::vector<KeyPoint> points;
    };
    const Case cases[] = {
        {otUp, 34, 17, {{10, 5, Yellow, "drawing (10, 5)"}, {10, 11, Grey, "drawing (10, 11)"}}},
        // (x, y) -> (33 - x, 16 - y)
        {otDown, 34, 17, {{23, 11, Yellow, "drawing (10, 5)"}, {23, 5, Grey, "drawing (10, 11)"}}},
        // (x, y) -> (y, 33 - x)
        {otLeft, 17, 34, {{5, 23, Yellow, "drawing (10, 5)"}, {11, 23, Grey, "drawing (10, 11)"}}},
        // (x, y) -> (16 - y, x)
        {otRight, 17, 34, {{11, 10, Yellow, "drawing (10, 5)"}, {5, 10, Grey, "drawing (10, 11)"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("orientation " + std::to_string(c.orientation));
        JumperOn<TRadioPanel> host(c.width, c.height);
        host.jumper->SetOrientation(c.orientation);
        host.paint();
        host.expectKeyPoints(c.points);
    }
}

TEST(TwoJumper, AxisChangeSwapsTheSizeAtTheNextPaintOnceItWasPainted) {
    JumperOn<TRadioPanel> host(34, 18);
    host.paint();
    host.jumper->SetOrientation(otLeft);
    EXPECT_EQ(host.jumper->Width(), 34) << "the swap waits for the next paint";
    EXPECT_EQ(host.jumper->Height(), 18);
    host.paint();
    EXPECT_EQ(host.jumper->Width(), 18);
    EXPECT_EQ(host.jumper->Height(), 34);
    host.paint();
    EXPECT_EQ(host.jumper->Width(), 18) << "one swap per change";
    EXPECT_EQ(host.jumper->Height(), 34);
    host.expectKeyPoints({
        {8, 10, Yellow, "upper pin"},
        {9, 23, Yellow, "lower pin"},
        {8, 17, Grey, "between the pins"},
        {0, 0, ButtonFace, "corner margin"},
    });

    host.jumper->SetOrientation(otUp);
    host.paint();
    EXPECT_EQ(host.jumper->Width(), 34);
    EXPECT_EQ(host.jumper->Height(), 18);
}

TEST(TwoJumper, OrientationWithinOneAxisKeepsTheSize) {
    struct Case {
        TOrientationType from, to;
        int width, height;
    };
    const Case cases[] = {
        {otUp, otDown, 34, 18},
        {otDown, otUp, 34, 18},
        {otLeft, otRight, 18, 34},
        {otRight, otLeft, 18, 34},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        JumperOn<TRadioPanel> host(c.width, c.height);
        host.jumper->SetOrientation(c.from);
        host.paint();
        host.jumper->SetOrientation(c.to);
        host.paint();
        host.paint();
        EXPECT_EQ(host.jumper->Width(), c.width);
        EXPECT_EQ(host.jumper->Height(), c.height);
    }
}

TEST(TwoJumper, OrientationSetBeforeTheFirstPaintKeepsTheStoredSize) {
    JumperOn<TRadioPanel> host(18, 34);
    host.jumper->SetOrientation(otLeft);
    host.paint();
    EXPECT_EQ(host.jumper->Width(), 18);
    EXPECT_EQ(host.jumper->Height(), 34);
    // The first paint used up the change: later paints leave the size alone too.
    host.paint();
    EXPECT_EQ(host.jumper->Width(), 18);
    EXPECT_EQ(host.jumper->Height(), 34);
    host.expectKeyPoints({{8, 10, Yellow, "upper pin"}, {9, 23, Yellow, "lower pin"}});
}

// Two axis changes between paints cancel out, so the size stays on the orientation's axis.
TEST(TwoJumper, AxisChangedThereAndBackBeforeAPaintKeepsTheSize) {
    JumperOn<TRadioPanel> host(34, 18);
    host.paint();
    host.jumper->SetOrientation(otLeft);
    host.jumper->SetOrientation(otDown);
    host.paint();
    host.paint();
    EXPECT_EQ(host.jumper->Width(), 34);
    EXPECT_EQ(host.jumper->Height(), 18);
    host.expectKeyPoints({{10, 8, Yellow, "pin"}, {23, 9, Yellow, "other pin"}});
}

TEST(TwoJumper, BorderStyleSingleDrawsABlackOutlineAndNoneTheFillColour) {
    struct Case {
        bool closed;
        TBorderStyle border;
        std::vector<KeyPoint> points;
    };
    const Case cases[] = {
        {true, bsSingle, {{0, 0, Black, "corner"}, {16, 0, Black, "top edge"}, {0, 9, Black, "left edge"}}},
        {true,
         bsNone,
         {{0, 0, DarkRed, "corner"}, {16, 0, DarkRed, "top edge"}, {0, 9, DarkRed, "left edge"}}},
        {false,
         bsSingle,
         {{16, 1, Black, "top outline"},
          {1, 9, Black, "left outline"},
          {1, 1, ButtonFace, "outside the corner"}}},
        {false,
         bsNone,
         {{16, 1, Grey, "top outline"},
          {1, 9, Grey, "left outline"},
          {1, 1, ButtonFace, "outside the corner"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.closed ? "closed" : "open") +
                     (c.border == bsSingle ? " bsSingle" : " bsNone"));
        JumperOn<TRadioPanel> host(34, 18);
        host.jumper->SetClosed(c.closed);
        host.jumper->SetBorderStyle(c.border);
        host.paint();
        host.expectKeyPoints(c.points);
        host.expectKeyPoints({{16, 8, c.closed ? DarkRed : Grey, "fill"}, {10, 8, Yellow, "pin"}});
    }
}

TEST(TwoJumper, BackgroundComesOnlyFromAParentOfClassTRadioPanel) {
    constexpr TColor PanelColor = RGB(20, 160, 90);
    const std::vector<KeyPoint> onRadioPanel = {{0, 0, PanelColor, "margin"},
                                                {1, 1, PanelColor, "outside the rounded corner"}};
    const std::vector<KeyPoint> elsewhere = {{0, 0, ButtonFace, "margin"},
                                             {1, 1, ButtonFace, "outside the rounded corner"}};
    {
        SCOPED_TRACE("TRadioPanel");
        JumperOn<TRadioPanel> host(34, 18);
        host.panel.SetColor(PanelColor);
        host.paint();
        host.expectKeyPoints(onRadioPanel);
    }
    {
        SCOPED_TRACE("TPanel");
        JumperOn<TPanel> host(34, 18);
        host.panel.SetColor(PanelColor);
        host.paint();
        host.expectKeyPoints(elsewhere);
        EXPECT_EQ(PaintedPixel(host.panel, 5, 5), PanelColor) << "the panel itself keeps its colour";
    }
    {
        SCOPED_TRACE("class derived from TRadioPanel");
        JumperOn<TDerivedRadioPanel> host(34, 18);
        host.panel.SetColor(PanelColor);
        host.paint();
        host.expectKeyPoints(elsewhere);
    }
}

// 60 x 10: a = Round(17.14) = 17, the first pin's centre column 18, r = min(17 div 3, Round(2.5)) =
// min(5, 2) = 2 with the half going to the even neighbour, centre row 5: pins (16, 3, 20, 7) and
// (40, 3, 44, 7). On the centre rows they cover columns 16..19 and 40..43.
TEST(TwoJumper, WideFlatJumperRoundsThePinRadiusHalfToEven) {
    JumperOn<TRadioPanel> host(60, 10);
    host.paint();
    for (int row : {4, 5}) {
        SCOPED_TRACE("row " + std::to_string(row));
        host.expectKeyPoints({
            {15, row, Grey, "left of the first pin; a radius of 3 would reach it"},
            {16, row, Yellow, "first pin's left edge"},
            {19, row, Yellow, "first pin's right edge"},
            {20, row, Grey, "right of the first pin"},
            {39, row, Grey, "left of the second pin"},
            {40, row, Yellow, "second pin's left edge"},
            {43, row, Yellow, "second pin's right edge"},
            {44, row, Grey, "right of the second pin"},
        });
    }
    host.expectKeyPoints({
        {18, 1, Black, "top outline above the pin"},
        {18, 2, Grey, "above the pin; a radius of 3 would reach it"},
        {18, 3, Yellow, "the pin's top"},
        {18, 6, Yellow, "the pin's bottom"},
        {18, 7, Grey, "below the pin; a radius of 3 would reach it"},
    });
}

TEST(TwoJumper, ColoursComeFromTheProperties) {
    JumperOn<TRadioPanel> host(34, 18);
    host.jumper->SetBaseColor(clBlue);
    host.jumper->SetPinColor(clWhite);
    host.jumper->SetJumperColor(clRed);
    host.paint();
    host.expectKeyPoints({{16, 8, RGB(0, 0, 255), "base"}, {10, 8, RGB(255, 255, 255), "pin"}});
    host.jumper->SetClosed(true);
    host.paint();
    host.expectKeyPoints({{16, 8, RGB(255, 0, 0), "cap"}, {10, 8, RGB(255, 255, 255), "pin"}});
}

TEST(TwoJumper, DisabledJumperIsDrawnLikeAnEnabledOne) {
    JumperOn<TRadioPanel> host(34, 18);
    host.jumper->SetEnabled(false);
    host.paint();
    host.expectKeyPoints({{16, 1, Black, "outline"}, {16, 8, Grey, "base"}, {10, 8, Yellow, "pin"}});
}

TEST(TwoJumper, ZeroSizedJumperPaintsNothing) {
    struct Size {
        int width, height;
    };
    for (Size size : {Size{0, 0}, Size{0, 18}, Size{34, 0}}) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        constexpr TColor Untouched = RGB(1, 2, 3);
        TBitmap target;
        target.SetSize(40, 20);
        target.Canvas().Brush.Color = Untouched;
        target.Canvas().FillRect({0, 0, 40, 20});
        TTwoJumper jumper(nullptr);
        // A jumper that painted before must not show its old drawing either.
        jumper.PaintOn(target.Canvas());
        target.Canvas().FillRect({0, 0, 40, 20});
        jumper.SetBounds(0, 0, size.width, size.height);
        jumper.SetOrientation(otLeft);
        EXPECT_NO_THROW(jumper.PaintOn(target.Canvas()));
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 40; ++x) {
                if (target.Canvas().Pixel(x, y) != Untouched)
                    FAIL() << "pixel (" << x << ", " << y << ") was painted";
            }
        }
    }
}

TEST(TwoJumper, SettersRequestARepaintOnlyForANewValue) {
    struct Case {
        const char* property;
        std::function<void(TTwoJumper&)> setCurrent, setNew;
    };
    const Case cases[] = {
        {"Closed", [](TTwoJumper& j) { j.SetClosed(false); },
         [](TTwoJumper& j) {
             j.SetClosed(true);
         }},
        {"BaseColor", [](TTwoJumper& j) { j.SetBaseColor(8421504); },
         [](TTwoJumper& j) {
             j.SetBaseColor(clBlue);
         }},
        {"PinColor", [](TTwoJumper& j) { j.SetPinColor(65535); },
         [](TTwoJumper& j) {
             j.SetPinColor(clRed);
         }},
        {"JumperColor", [](TTwoJumper& j) { j.SetJumperColor(128); },
         [](TTwoJumper& j) {
             j.SetJumperColor(clBlack);
         }},
        {"BorderStyle", [](TTwoJumper& j) { j.SetBorderStyle(bsSingle); },
         [](TTwoJumper& j) {
             j.SetBorderStyle(bsNone);
         }},
        {"Orientation", [](TTwoJumper& j) { j.SetOrientation(otUp); },
         [](TTwoJumper& j) {
             j.SetOrientation(otDown);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.property);
        TRadioPanel panel(nullptr);
        auto* jumper = new CountingJumper(&panel);
        jumper->SetParent(&panel);
        jumper->Invalidations = 0;
        c.setCurrent(*jumper);
        EXPECT_EQ(jumper->Invalidations, 0);
        c.setNew(*jumper);
        EXPECT_EQ(jumper->Invalidations, 1);
        c.setNew(*jumper);
        EXPECT_EQ(jumper->Invalidations, 1);
    }
}

TEST(TwoJumper, SettingClosedFiresNoClickAndAppliesNoRadioRule) {
    TRadioPanel panel(nullptr);
    panel.RadioEnabled = true;
    int radioChanges = 0, clicks = 0;
    panel.OnRadioChange = [&](TObject*) {
        ++radioChanges;
    };
    auto* first = new TTwoJumper(&panel);
    first->SetParent(&panel);
    auto* second = new TTwoJumper(&panel);
    second->SetParent(&panel);
    first->OnClick = [&](TObject*) {
        ++clicks;
    };
    first->SetClosed(true);
    second->SetClosed(true);
    EXPECT_TRUE(first->Closed());
    EXPECT_TRUE(second->Closed());
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(radioChanges, 0);
}

TEST(TwoJumper, ClickInvertsRepaintsAndThenFiresOnClickWithTheNewState) {
    TPanel panel(nullptr);
    auto* jumper = new CountingJumper(&panel);
    jumper->SetParent(&panel);
    std::vector<bool> seen;
    jumper->OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, jumper);
        seen.push_back(jumper->Closed());
    };
    jumper->Invalidations = 0;
    jumper->Click();
    EXPECT_TRUE(jumper->Closed());
    EXPECT_EQ(jumper->Invalidations, 1);
    jumper->Click();
    EXPECT_FALSE(jumper->Closed());
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST(TwoJumper, AUserClickOnTheShownPanelTogglesTheJumper) {
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    TRadioPanel panel(&form);
    panel.SetParent(&form);
    panel.SetBounds(10, 10, 177, 163);
    panel.Show();
    TTwoJumper jumper(&form);
    jumper.SetParent(&panel);
    jumper.SetBounds(116, 80, 34, 18);
    jumper.SetOrientation(otDown);
    int clicks = 0;
    jumper.OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &jumper);
        ++clicks;
    };
    form.Show();
    ASSERT_TRUE(WaitFor([&] { return PaintedPixel(panel, 116 + 16, 80 + 8) == Grey; }));

    QTest::mouseClick(panel.Widget(), Qt::LeftButton, {}, QPoint(116 + 5, 80 + 5));
    EXPECT_TRUE(jumper.Closed());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(WaitFor([&] { return PaintedPixel(panel, 116 + 16, 80 + 8) == DarkRed; }));

    QTest::mouseClick(panel.Widget(), Qt::LeftButton, {}, QPoint(116 + 30, 80 + 14));
    EXPECT_FALSE(jumper.Closed());
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(WaitFor([&] { return PaintedPixel(panel, 116 + 16, 80 + 8) == Grey; }));
    form.Hide();
}

// The board definition's root, publishing one click handler.
class TJumperHostForm : public TForm {
    PLATFORM_CLASS(TJumperHostForm, TForm)
public:
    using TForm::TForm;
    int Clicks = 0;
    TNotifyEvent MethodAddress(const std::string& name) override {
        if (name == "JumperClick")
            return [this](TObject*) {
                ++Clicks;
            };
        return {};
    }
};

TEST(TwoJumper, StoredPropertiesAreRead) {
    const char* definition = R"(object HostForm: TJumperHostForm
  object Panel: TRadioPanel
    Width = 177
    Height = 163
    object FJ: TTwoJumper
      Left = 116
      Top = 16
      Width = 18
      Height = 34
      Closed = True
      BaseColor = clBlue
      PinColor = 255
      JumperColor = clBlack
      Orientation = otLeft
      BorderStyle = bsNone
      OnClick = JumperClick
    end
  end
end
)";
    TJumperHostForm form(nullptr);
    DefinitionReader(definition, "HostForm.board").ReadInto(&form);
    auto* jumper = dynamic_cast<TTwoJumper*>(form.FindComponent("FJ"));
    ASSERT_NE(jumper, nullptr);
    EXPECT_TRUE(jumper->Closed());
    EXPECT_EQ(jumper->BaseColor(), clBlue);
    EXPECT_EQ(jumper->PinColor(), 255);
    EXPECT_EQ(jumper->JumperColor(), clBlack);
    EXPECT_EQ(jumper->Orientation(), otLeft);
    EXPECT_EQ(jumper->BorderStyle(), bsNone);
    EXPECT_EQ(jumper->BoundsRect(), Bounds(116, 16, 18, 34));
    jumper->OnClick(jumper);
    EXPECT_EQ(form.Clicks, 1);

    // Stored as a vertical jumper, it keeps its size at the first paint.
    auto* panel = dynamic_cast<TRadioPanel*>(form.FindComponent("Panel"));
    ASSERT_NE(panel, nullptr);
    panel->PaintToBuffer(panel->ClientRect());
    EXPECT_EQ(jumper->BoundsRect(), Bounds(116, 16, 18, 34));
}

TEST(TwoJumper, UnknownOrientationIsAReadError) {
    const char* definition = R"(object HostForm: TJumperHostForm
  object FJ: TTwoJumper
    Orientation = otSideways
  end
end
)";
    TJumperHostForm form(nullptr);
    EXPECT_THROW(DefinitionReader(definition, "HostForm.board").ReadInto(&form), EReadError);
}

} // namespace
