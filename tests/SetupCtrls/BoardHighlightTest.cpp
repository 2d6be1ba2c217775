#include "SetupCtrls/BoardHighlight.h"

#include "SetupCtrls/BoardImage.h"
#include "SetupCtrls/RadioPanel.h"
#include "platform/Forms.h"
#include "platform/Reader.h"
#include "platform/StdCtrls.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// The grey every test paints beneath its circles: red, green and blue 100.
constexpr TColor Photo = RGB(100, 100, 100);

void fillBitmap(TBitmap& bitmap, int width, int height, TColor color) {
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        uint8_t* pixel = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x, pixel += 4) {
            pixel[0] = GetBValue(color);
            pixel[1] = GetGValue(color);
            pixel[2] = GetRValue(color);
            pixel[3] = 255;
        }
    }
}

TColor pixelOf(const TBitmap& bitmap, int x, int y) {
    const uint8_t* pixel = bitmap.ScanLine(y) + 4 * x;
    return RGB(pixel[2], pixel[1], pixel[0]);
}

std::string describe(TColor color) {
    return "RGB(" + std::to_string(GetRValue(color)) + ", " + std::to_string(GetGValue(color)) + ", " +
           std::to_string(GetBValue(color)) + ")";
}

// Observes what the circle does to its parent: paints, repaint requests and moves to the front.
// It still reports the class name TBoardHighlight, so the circles' walks count it as one of them.
class ObservedHighlight : public TBoardHighlight {
public:
    using TBoardHighlight::TBoardHighlight;
    int Paints = 0;
    int Invalidations = 0;
    int MovesToFront = 0;
    void Invalidate() override {
        ++Invalidations;
        TBoardHighlight::Invalidate();
    }
    void BringToFront() override {
        ++MovesToFront;
        TBoardHighlight::BringToFront();
    }

protected:
    void Paint() override {
        ++Paints;
        TBoardHighlight::Paint();
    }
};

// --- BlendRing ---

// A 65 x 65 bitmap spans u = x / 32 - 1 exactly, so the hand calculations below need no rounding
// until the final blend. Base 100 in every channel; yellow ring (255, 255, 0).
TEST(BlendRing, HandWorkedPixelsOfA65PixelYellowRing) {
    struct Case {
        const char* name;
        float opacity;
        bool whiteCore;
        int x, y;
        TColor expected;
    };
    const Case cases[] = {
        // Centre, d = 0: inner disc, a = 0.16 * 0.5 = 0.08; 100 * 0.92 + 255 * 0.08 = 112.4; blue 92.
        {"idle centre", 0.5f, false, 32, 32, RGB(112, 112, 92)},
        // u = 0.75, d = 0.5625 < 0.5929: still the inner disc.
        {"idle inner disc edge", 0.5f, false, 56, 32, RGB(112, 112, 92)},
        // u = 0.78125, r = 0.78125, w = 1 - 8 * 0.09375 = 0.25, a = 0.125:
        // 87.5 + 31.875 = 119.375; blue 87.5 goes to the even 88.
        {"idle ring foot", 0.5f, false, 57, 32, RGB(119, 119, 88)},
        // u = 0.84375, w = 1 - 8 * 0.03125 = 0.75, a = 0.375: 62.5 + 95.625 = 158.125; blue 62.5 goes
        // to the even 62.
        {"idle ring inner slope", 0.5f, false, 59, 32, RGB(158, 158, 62)},
        // u = 0.875, w = 1, a = 0.5: 50 + 127.5 = 177.5 goes to the even 178; blue 50.
        {"idle ring peak", 0.5f, false, 60, 32, RGB(178, 178, 50)},
        // The same by symmetry above the centre: v = -0.875.
        {"idle ring peak above", 0.5f, false, 32, 4, RGB(178, 178, 50)},
        // u = 0.96875, w = 1 - 8 * 0.09375 = 0.25 as at the foot.
        {"idle ring outer slope", 0.5f, false, 63, 32, RGB(119, 119, 88)},
        // u = 1, d = 1: on the ellipse itself, left as it was.
        {"idle right edge", 0.5f, false, 64, 32, Photo},
        {"idle corner", 0.5f, false, 0, 0, Photo},
        // a = 0.75 at the peak: 25 + 191.25 = 216.25; blue 25.
        {"lit ring peak", 0.75f, false, 60, 32, RGB(216, 216, 25)},
        // Inner disc at 16 % of 0.75 = 0.12: 88 + 30.6 = 118.6; blue 88.
        {"lit centre", 0.75f, false, 32, 32, RGB(119, 119, 88)},
        // Without the white core full opacity gives pure yellow at the peak.
        {"full opacity peak without core", 1.0f, false, 60, 32, RGB(255, 255, 0)},
        // Bright: w = 2 at the peak, so the base turns white and w = 0: pure white.
        {"bright ring peak", 1.0f, true, 60, 32, RGB(255, 255, 255)},
        // u = 0.84375, w = 0.75, doubled 1.5: white base, w = 0.5: blue 127.5 goes to the even 128.
        {"bright inside the core", 1.0f, true, 59, 32, RGB(255, 255, 128)},
        // u = 0.8125 and u = 0.9375: w = 0.5, doubled exactly 1: full colour, no white.
        {"bright core inner rim", 1.0f, true, 58, 32, RGB(255, 255, 0)},
        {"bright core outer rim", 1.0f, true, 62, 32, RGB(255, 255, 0)},
        // The inner disc gets no white core: 100 * 0.84 + 255 * 0.16 = 124.8; blue 84.
        {"bright centre", 1.0f, true, 32, 32, RGB(125, 125, 84)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap bitmap;
        fillBitmap(bitmap, 65, 65, Photo);
        BlendRing(bitmap, clYellow, c.opacity, c.whiteCore);
        EXPECT_EQ(describe(pixelOf(bitmap, c.x, c.y)), describe(c.expected));
    }
}

TEST(BlendRing, FourthByteOfEveryPixelStaysOpaque) {
    TBitmap bitmap;
    fillBitmap(bitmap, 65, 65, Photo);
    BlendRing(bitmap, clYellow, 1.0f, true);
    for (int y = 0; y < 65; ++y) {
        for (int x = 0; x < 65; ++x)
            ASSERT_EQ(bitmap.ScanLine(y)[4 * x + 3], 255) << x << "," << y;
    }
}

TEST(BlendRing, EachTypeHasItsColourAndOpacities) {
    struct Case {
        THighlightType type;
        TColor ring;
        float idle, lit, bright;
        // The peak pixel (60, 32) of a 65 x 65 ring over grey 100: a channel with the ring at 255
        // becomes 100 * (1 - a) + 255 * a, one at 0 becomes 100 * (1 - a).
        TColor idlePeak, litPeak;
    };
    const Case cases[] = {
        // a = 0.25: 75 + 63.75 = 138.75; a = 0.5: 177.5 goes to the even 178.
        {htOptions, RGB(0, 0, 255), 0.25f, 0.5f, 1.0f, RGB(75, 75, 139), RGB(50, 50, 178)},
        {htSettings, RGB(255, 255, 0), 0.5f, 0.75f, 1.0f, RGB(178, 178, 50), RGB(216, 216, 25)},
        {htCalibration, RGB(255, 0, 0), 0.5f, 0.75f, 1.0f, RGB(178, 50, 50), RGB(216, 25, 25)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        TBoardHighlight circle(nullptr);
        if (c.type == htSettings)
            circle.SetHighlightType(htOptions); // through the setter from another type
        circle.SetHighlightType(c.type);
        EXPECT_EQ(circle.RingColor(), c.ring);
        EXPECT_EQ(circle.IdleOpacity(), c.idle);
        EXPECT_EQ(circle.LitOpacity(), c.lit);
        EXPECT_EQ(circle.BrightOpacity(), c.bright);

        TBitmap idle, lit;
        fillBitmap(idle, 65, 65, Photo);
        fillBitmap(lit, 65, 65, Photo);
        BlendRing(idle, circle.RingColor(), circle.IdleOpacity(), false);
        BlendRing(lit, circle.RingColor(), circle.LitOpacity(), false);
        EXPECT_EQ(describe(pixelOf(idle, 60, 32)), describe(c.idlePeak));
        EXPECT_EQ(describe(pixelOf(lit, 60, 32)), describe(c.litPeak));
    }
}

// With 65 pixels the scale 2 / 64 is exact, so the ring mirrors exactly about both axes.
TEST(BlendRing, SquareRingMirrorsExactlyAboutBothAxes) {
    for (bool whiteCore : {false, true}) {
        SCOPED_TRACE(whiteCore ? "white core" : "plain");
        TBitmap bitmap;
        fillBitmap(bitmap, 65, 65, Photo);
        BlendRing(bitmap, clYellow, whiteCore ? 1.0f : 0.5f, whiteCore);
        for (int y = 0; y < 65; ++y) {
            for (int x = 0; x < 65; ++x) {
                ASSERT_EQ(pixelOf(bitmap, x, y), pixelOf(bitmap, 64 - x, y)) << x << "," << y;
                ASSERT_EQ(pixelOf(bitmap, x, y), pixelOf(bitmap, x, 64 - y)) << x << "," << y;
                ASSERT_EQ(pixelOf(bitmap, x, y), pixelOf(bitmap, y, x)) << x << "," << y;
            }
        }
    }
}

// Whether every channel of the two colours differs by at most one level.
bool nearlyEqual(TColor a, TColor b) {
    auto close = [](int p, int q) {
        return std::abs(p - q) <= 1;
    };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) &&
           close(GetBValue(a), GetBValue(b));
}

// The board definition's circle is 33 x 73: a tall ellipse. Across its width the scale 2 / 32 is
// exact in single precision, so left and right mirror each other exactly; down its height 2 / 72 is
// not, so v at row y and at row 72 - y may differ in their last bit and a channel by one level.
TEST(BlendRing, TallEllipseTouchesAllFourSidesAndIsSymmetric) {
    const int width = 33, height = 73;
    struct Look {
        const char* name;
        float opacity;
        bool whiteCore;
    };
    for (const Look& look :
         {Look{"idle", 0.5f, false}, Look{"lit", 0.75f, false}, Look{"bright", 1.0f, true}}) {
        SCOPED_TRACE(look.name);
        TBitmap bitmap;
        fillBitmap(bitmap, width, height, Photo);
        BlendRing(bitmap, clYellow, look.opacity, look.whiteCore);

        TRect changed{width, height, -1, -1};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                TColor pixel = pixelOf(bitmap, x, y);
                ASSERT_EQ(pixel, pixelOf(bitmap, width - 1 - x, y)) << x << "," << y;
                ASSERT_TRUE(nearlyEqual(pixel, pixelOf(bitmap, x, height - 1 - y))) << x << "," << y;
                if (pixel != Photo) {
                    changed.Left = std::min(changed.Left, x);
                    changed.Top = std::min(changed.Top, y);
                    changed.Right = std::max(changed.Right, x + 1);
                    changed.Bottom = std::max(changed.Bottom, y + 1);
                }
            }
        }
        // The outermost rows and columns lie on or outside the ellipse; the ring reaches the pixels
        // next to them on all four sides.
        EXPECT_EQ(changed, Rect(1, 1, width - 1, height - 1));
        for (TPoint corner : {TPoint{1, 1}, TPoint{3, 6}, TPoint{31, 71}})
            EXPECT_EQ(pixelOf(bitmap, corner.X, corner.Y), Photo) << corner.X << "," << corner.Y;
    }

    TBitmap idle;
    fillBitmap(idle, width, height, Photo);
    BlendRing(idle, clYellow, 0.5f, false);
    // Middle row, column 1: u = 1 * 2 / 32 - 1 = -0.9375, v = 0: w = 0.5, a = 0.25:
    // 75 + 63.75 = 138.75; blue 75.
    EXPECT_EQ(describe(pixelOf(idle, 1, 36)), describe(RGB(139, 139, 75)));
    // Middle column, row 1: v = 2 / 72 - 1 = -0.97222, w = 1 - 8 * 0.09722 = 0.22222, a = 0.11111:
    // 88.889 + 28.333 = 117.22; blue 88.889.
    EXPECT_EQ(describe(pixelOf(idle, 16, 1)), describe(RGB(117, 117, 89)));
    EXPECT_EQ(describe(pixelOf(idle, 16, 36)), describe(RGB(112, 112, 92)));

    // Lit look, middle column, row 3. Exactly, v = 3 / 36 - 1 = -11/12, w = 1 - 8 * (11/12 - 7/8) = 2/3,
    // a = 0.5, and 50 + 127.5 = 177.5 would go to 178. In single precision 2 / 72 rounds up to
    // 0.027777778, so |v| = 0.91666669, w = 0.66666651, a = 0.49999988, and the sum 177.49998 gives 177.
    TBitmap lit;
    fillBitmap(lit, width, height, Photo);
    BlendRing(lit, clYellow, 0.75f, false);
    EXPECT_EQ(describe(pixelOf(lit, 16, 3)), describe(RGB(177, 177, 50)));
}

TEST(BlendRing, LeavesBitmapsNarrowerOrLowerThanTwoPixelsUnchanged) {
    struct Size {
        int width, height;
    };
    for (Size size : {Size{1, 9}, Size{9, 1}, Size{1, 1}, Size{0, 0}, Size{2, 2}}) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        TBitmap bitmap;
        fillBitmap(bitmap, size.width, size.height, Photo);
        BlendRing(bitmap, clYellow, 1.0f, true);
        ASSERT_EQ(bitmap.Width(), size.width);
        for (int y = 0; y < size.height; ++y) {
            for (int x = 0; x < size.width; ++x)
                EXPECT_EQ(pixelOf(bitmap, x, y), Photo) << x << "," << y;
        }
    }
}

// --- Title texts ---

TEST(MakeIdentifier, KeepsLettersDigitsAndUnderscoresAfterALeadingLetter) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"Input &Filters", "InputFilters"},
        {"3D &Jumpers", "DJumpers"},
        {"A&&B", "AB"},
        {"Filters", "Filters"},
        {"_Gain2", "_Gain2"},
        {"", ""},
        {"12 34", ""},
        {"\xC3\x84nderung 2", "nderung2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MakeIdentifier(c.text), c.expected);
    }
}

TEST(BoardHighlight, TitleGivesCaptionTextAndNameStemWithoutRepainting) {
    struct Case {
        const char* title;
        const char* captionText;
        const char* nameStem;
    };
    const Case cases[] = {
        {"Input &Filters", "Input Filters", "InputFilters"},
        {"3D &Jumpers", "3D Jumpers", "DJumpers"},
        {"A&&B", "AB", "AB"},
        {"Filters", "Filters", "Filters"},
        {"", "", ""},
    };
    TForm form(nullptr);
    ObservedHighlight circle(&form);
    circle.SetParent(&form);
    circle.SetTitle("Previous &Title");
    circle.Invalidations = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        circle.SetTitle(c.title);
        EXPECT_EQ(circle.Title(), c.title);
        EXPECT_EQ(circle.CaptionText(), c.captionText);
        EXPECT_EQ(circle.NameStem(), c.nameStem);
    }
    EXPECT_EQ(circle.Invalidations, 0);
}

// --- Properties ---

TEST(BoardHighlight, StartsAsA65PixelYellowCircle) {
    TBoardHighlight circle(nullptr);
    EXPECT_EQ(circle.Width(), 65);
    EXPECT_EQ(circle.Height(), 65);
    EXPECT_EQ(circle.HighlightType(), htSettings);
    EXPECT_EQ(circle.RingColor(), clYellow);
    EXPECT_EQ(circle.IdleOpacity(), 0.5f);
    EXPECT_EQ(circle.LitOpacity(), 0.75f);
    EXPECT_EQ(circle.BrightOpacity(), 1.0f);
    EXPECT_TRUE(circle.CreatePopup());
    EXPECT_FALSE(circle.Hovered());
    EXPECT_FALSE(circle.PopupActive());
    EXPECT_FALSE(circle.Pinned());
    EXPECT_FALSE(circle.Initialized());
    EXPECT_EQ(circle.BoardMenu(), nullptr);
    EXPECT_EQ(circle.RadioPanel(), nullptr);
    EXPECT_EQ(circle.Title(), "");
}

TEST(BoardHighlight, HighlightTypeRepaintsOnlyWhenItChanges) {
    TForm form(nullptr);
    ObservedHighlight circle(&form);
    circle.SetParent(&form);
    circle.Invalidations = 0;
    circle.SetHighlightType(htSettings);
    EXPECT_EQ(circle.Invalidations, 0);
    circle.SetHighlightType(htCalibration);
    EXPECT_EQ(circle.Invalidations, 1);
    EXPECT_EQ(circle.RingColor(), clRed);
}

TEST(BoardHighlight, StoredPropertiesAreRead) {
    const char* definition = R"(object HostForm: TForm
  object OptionPanel: TRadioPanel
  end
  object Circle: TBoardHighlight
    Left = 240
    Top = 152
    Width = 33
    Height = 73
    CreatePopup = False
    HighlightType = htOptions
    RadioPanel = OptionPanel
    Title = 'Input &Filters'
  end
end
)";
    TForm form(nullptr);
    DefinitionReader(definition, "HostForm.board").ReadInto(&form);
    auto* circle = dynamic_cast<TBoardHighlight*>(form.FindComponent("Circle"));
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->BoundsRect(), Bounds(240, 152, 33, 73));
    EXPECT_FALSE(circle->CreatePopup());
    EXPECT_EQ(circle->HighlightType(), htOptions);
    EXPECT_EQ(circle->RadioPanel(), form.FindComponent("OptionPanel"));
    EXPECT_EQ(circle->CaptionText(), "Input Filters");
    EXPECT_EQ(circle->NameStem(), "InputFilters");
}

TEST(BoardHighlight, UnknownHighlightTypeIsAReadError) {
    const char* definition = R"(object HostForm: TForm
  object Circle: TBoardHighlight
    HighlightType = htPurple
  end
end
)";
    TForm form(nullptr);
    EXPECT_THROW(DefinitionReader(definition, "HostForm.board").ReadInto(&form), EReadError);
}

// --- Option panels and linked circles ---

TEST(BoardHighlight, AnOptionPanelBelongsToOneGroupOfLinkedCircles) {
    struct Case {
        const char* name;
        const char* title;
        THighlightType type;
        bool sameParent;
        bool accepted;
    };
    const Case cases[] = {
        {"linked circle", "Input &Filters", htSettings, true, true},
        {"other title", "Output &Filters", htSettings, true, false},
        {"title differing in case", "input &filters", htSettings, true, false},
        {"title without ampersand", "Input Filters", htSettings, true, false},
        {"other type", "Input &Filters", htOptions, true, false},
        {"circle on another parent", "Other", htSettings, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxRecorder boxes;
        TForm form(nullptr);
        TPanel board(&form);
        board.SetParent(&form);
        TPanel elsewhere(&form);
        elsewhere.SetParent(&form);
        TRadioPanel filters(&form);
        TRadioPanel ownPanel(&form);

        TBoardHighlight owner(&form);
        owner.SetParent(&board);
        owner.SetTitle("Input &Filters");
        owner.SetRadioPanel(&filters);

        TBoardHighlight second(&form);
        second.SetParent(c.sameParent ? &board : &elsewhere);
        second.SetTitle(c.title);
        second.SetHighlightType(c.type);
        second.SetRadioPanel(&ownPanel);
        second.SetRadioPanel(&filters);

        EXPECT_EQ(second.RadioPanel(), c.accepted ? &filters : &ownPanel);
        EXPECT_EQ(owner.RadioPanel(), &filters);
        EXPECT_TRUE(boxes.Boxes.empty());
    }
}

TEST(BoardHighlight, ClearingTheOptionPanelIsNeverRefused) {
    TForm form(nullptr);
    TPanel board(&form);
    board.SetParent(&form);
    TRadioPanel filters(&form);
    TBoardHighlight withoutPanel(&form);
    withoutPanel.SetParent(&board);
    withoutPanel.SetTitle("Jumpers");
    TBoardHighlight circle(&form);
    circle.SetParent(&board);
    circle.SetTitle("Filters");
    circle.SetRadioPanel(&filters);
    // Another, unlinked circle already has no panel; that does not stop this one from clearing its own.
    circle.SetRadioPanel(nullptr);
    EXPECT_EQ(circle.RadioPanel(), nullptr);
}

TEST(BoardHighlight, LinkedCirclesShareParentTitleAndType) {
    TForm form(nullptr);
    TPanel board(&form);
    board.SetParent(&form);
    TPanel other(&form);
    other.SetParent(&form);
    TBoardHighlight a(&form), b(&form), c(&form), d(&form);
    for (TBoardHighlight* circle : {&a, &b, &c})
        circle->SetParent(&board);
    d.SetParent(&other);
    for (TBoardHighlight* circle : {&a, &b, &c, &d})
        circle->SetTitle("Input &Filters");
    c.SetHighlightType(htCalibration);
    EXPECT_TRUE(a.IsLinkedTo(&a));
    EXPECT_TRUE(a.IsLinkedTo(&b));
    EXPECT_TRUE(b.IsLinkedTo(&a));
    EXPECT_FALSE(a.IsLinkedTo(&c));
    EXPECT_FALSE(a.IsLinkedTo(&d));
    EXPECT_FALSE(a.IsLinkedTo(nullptr));
    EXPECT_EQ(TBoardHighlight::AsBoardHighlight(&a), &a);
    EXPECT_EQ(TBoardHighlight::AsBoardHighlight(&other), nullptr);
}

// Children of a board image, bottom first: A, B, C, D, where A, C and D are linked and B is not.
TEST(BoardHighlight, ActiveLookBringsEachLinkedCircleToTheFrontOnce) {
    for (bool active : {true, false}) {
        SCOPED_TRACE(active ? "activated" : "deactivated");
        TForm form(nullptr);
        TBoardImage board(&form);
        board.SetParent(&form);
        ObservedHighlight a(&form), b(&form), c(&form), d(&form);
        for (ObservedHighlight* circle : {&a, &b, &c, &d}) {
            circle->SetParent(&board);
            circle->SetTitle("Input &Filters");
        }
        b.SetTitle("Other");
        if (!active) {
            for (ObservedHighlight* circle : {&a, &c, &d})
                circle->SetActiveLook(true, false);
        }
        for (ObservedHighlight* circle : {&a, &b, &c, &d})
            circle->MovesToFront = 0;

        a.SetActiveLook(active, true);

        // A goes to the front: B C D A. The walk meets C at index 1 (B C D A to B D A C), then D at
        // the same index (B A C D), then A itself, and stops.
        ASSERT_EQ(board.ControlCount(), 4);
        EXPECT_EQ(board.Controls(0), &b);
        EXPECT_EQ(board.Controls(1), &a);
        EXPECT_EQ(board.Controls(2), &c);
        EXPECT_EQ(board.Controls(3), &d);
        EXPECT_EQ(a.MovesToFront, 1);
        EXPECT_EQ(b.MovesToFront, 0);
        EXPECT_EQ(c.MovesToFront, 1);
        EXPECT_EQ(d.MovesToFront, 1);
        EXPECT_EQ(a.PopupActive(), active);
        EXPECT_EQ(c.PopupActive(), active);
        EXPECT_EQ(d.PopupActive(), active);
        EXPECT_FALSE(b.PopupActive());
    }
}

TEST(BoardHighlight, ActiveLookStaysWithTheCircleOnAParentThatIsNoBoardImage) {
    TForm form(nullptr);
    TPanel panel(&form);
    panel.SetParent(&form);
    ObservedHighlight a(&form), b(&form);
    for (ObservedHighlight* circle : {&a, &b}) {
        circle->SetParent(&panel);
        circle->SetTitle("Input &Filters");
    }
    a.SetActiveLook(true, true);
    EXPECT_TRUE(a.PopupActive());
    EXPECT_FALSE(b.PopupActive());
    EXPECT_EQ(panel.Controls(1), &a);
    EXPECT_EQ(b.MovesToFront, 0);
}

TEST(BoardHighlight, UnhoverRequestsARepaint) {
    TForm form(nullptr);
    ObservedHighlight circle(&form);
    circle.SetParent(&form);
    circle.Invalidations = 0;
    circle.Unhover();
    EXPECT_FALSE(circle.Hovered());
    EXPECT_EQ(circle.Invalidations, 1);
}

// --- Painting ---

// A shown form holding a borderless grey panel, the circle's parent.
struct PaintedPanel {
    TForm form{nullptr};
    TPanel panel{&form};
    PaintedPanel() {
        form.SetBounds(0, 0, 320, 240);
        panel.SetParent(&form);
        panel.SetBounds(0, 0, 200, 150);
        panel.SetBevelOuter(bvNone);
        panel.SetColor(Photo);
    }
    ~PaintedPanel() { form.Hide(); }
};

bool paintedAgain(ObservedHighlight& circle, int paintsBefore) {
    return WaitFor([&] { return circle.Paints > paintsBefore; });
}

TEST(BoardHighlight, PaintsTheLookTheStateSelectsAndKeepsTheLooksAsBuilt) {
    PaintedPanel host;
    ObservedHighlight circle(&host.form);
    circle.SetParent(&host.panel);
    circle.SetBounds(20, 10, 65, 65);
    host.form.Show();
    ASSERT_TRUE(paintedAgain(circle, 0));
    ProcessPendingEvents();
    EXPECT_TRUE(circle.Initialized());
    EXPECT_EQ(circle.BoardMenu(), nullptr);

    // Idle: the ring peak and the centre as worked out for the 65 x 65 ring over grey 100.
    const TPoint peak{20 + 60, 10 + 32}, centre{20 + 32, 10 + 32}, corner{20, 10};
    EXPECT_EQ(describe(PaintedPixel(host.panel, peak.X, peak.Y)), describe(RGB(178, 178, 50)));
    EXPECT_EQ(describe(PaintedPixel(host.panel, centre.X, centre.Y)), describe(RGB(112, 112, 92)));
    EXPECT_EQ(PaintedPixel(host.panel, corner.X, corner.Y), Photo);
    EXPECT_EQ(pixelOf(circle.IdleBitmap(), 60, 32), RGB(178, 178, 50));
    EXPECT_EQ(pixelOf(circle.LitBitmap(), 60, 32), RGB(216, 216, 25));
    EXPECT_EQ(pixelOf(circle.BrightBitmap(), 60, 32), RGB(255, 255, 255));

    // The popup's window became active: lit.
    int paints = circle.Paints;
    circle.SetActiveLook(true, true);
    ASSERT_TRUE(paintedAgain(circle, paints));
    EXPECT_EQ(describe(PaintedPixel(host.panel, peak.X, peak.Y)), describe(RGB(216, 216, 25)));

    // A new type after the first paint changes the parameters but not the looks already built.
    paints = circle.Paints;
    circle.SetActiveLook(false, true);
    circle.SetHighlightType(htOptions);
    ASSERT_TRUE(paintedAgain(circle, paints));
    EXPECT_EQ(circle.RingColor(), clBlue);
    EXPECT_EQ(describe(PaintedPixel(host.panel, peak.X, peak.Y)), describe(RGB(178, 178, 50)));
    EXPECT_EQ(pixelOf(circle.IdleBitmap(), 60, 32), RGB(178, 178, 50));
}

TEST(BoardHighlight, OnABoardImageTakesItsMenuAndBlendsOverThePhoto) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 320, 240);
    TMainMenu menu(&form);
    TBoardImage board(&form);
    board.SetAutoSize(false);
    board.SetParent(&form);
    board.SetBounds(0, 0, 200, 150);
    board.SetCenterOnForm(false);
    board.SetStretch(true);
    board.SetMenu(&menu);
    {
        TPicture photo;
        auto bitmap = std::make_unique<TBitmap>();
        fillBitmap(*bitmap, 200, 150, Photo);
        photo.SetGraphic(std::move(bitmap));
        board.SetPicture(photo);
    }
    ObservedHighlight circle(&form);
    circle.SetParent(&board);
    circle.SetBounds(40, 30, 33, 73);
    form.Show();
    ASSERT_TRUE(paintedAgain(circle, 0));
    ProcessPendingEvents();
    EXPECT_EQ(circle.BoardMenu(), &menu);
    // The tall ellipse's hand-worked pixels (see BlendRing's tests) over the grey photo.
    EXPECT_EQ(describe(PaintedPixel(board, 40 + 1, 30 + 36)), describe(RGB(139, 139, 75)));
    EXPECT_EQ(describe(PaintedPixel(board, 40 + 16, 30 + 1)), describe(RGB(117, 117, 89)));
    EXPECT_EQ(PaintedPixel(board, 40, 30), Photo);
    EXPECT_EQ(PaintedPixel(board, 40 + 32, 30 + 72), Photo);
    form.Hide();
}

TEST(BoardHighlight, CirclesNarrowerOrLowerThanTwoPixelsLeaveThePhotoUnchanged) {
    struct Size {
        int width, height;
    };
    for (Size size : {Size{1, 20}, Size{20, 1}, Size{0, 0}}) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        PaintedPanel host;
        ObservedHighlight circle(&host.form);
        circle.SetParent(&host.panel);
        circle.SetBounds(20, 10, size.width, size.height);
        host.form.Show();
        ASSERT_TRUE(WaitFor([&] { return host.panel.BackBuffer() != nullptr; }));
        if (size.width > 0 && size.height > 0) {
            ASSERT_TRUE(paintedAgain(circle, 0));
            EXPECT_TRUE(circle.Initialized());
        }
        ProcessPendingEvents();
        for (int y = 0; y < size.height; ++y) {
            for (int x = 0; x < size.width; ++x)
                EXPECT_EQ(PaintedPixel(host.panel, 20 + x, 10 + y), Photo) << x << "," << y;
        }
        EXPECT_EQ(PaintedPixel(host.panel, 20, 10), Photo);
    }
}

} // namespace
