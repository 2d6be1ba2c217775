#include "SetupCtrls/BoardImage.h"

#include "platform/Forms.h"
#include "platform/JPEGImage.h"
#include "platform/Reader.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Counts repaint requests, the observable effect of a setter that changed something.
class CountingBoardImage : public TBoardImage {
public:
    using TBoardImage::TBoardImage;
    int Invalidations = 0;
    void Invalidate() override {
        ++Invalidations;
        TBoardImage::Invalidate();
    }
};

// Gives the board a plain 32-bit bitmap of the given size as its picture, through a copy as the
// Picture property does.
void setPictureOfSize(TBoardImage& board, int width, int height) {
    TPicture picture;
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(width, height);
    picture.SetGraphic(std::move(bitmap));
    board.SetPicture(picture);
}

// A board image standing at the given place in a form of the given outer size, sized by hand.
struct BoardOnForm {
    BoardOnForm(int formWidth, int formHeight, TRect boardBounds) : board(&form) {
        form.SetBounds(0, 0, formWidth, formHeight);
        board.SetAutoSize(false);
        board.SetParent(&form);
        board.SetBounds(boardBounds.Left, boardBounds.Top, boardBounds.Width(), boardBounds.Height());
    }
    ~BoardOnForm() { form.Hide(); }
    TForm form{nullptr};
    TBoardImage board;
};

TEST(BoardImage, ConstructorState) {
    TForm form(nullptr);
    TBoardImage board(&form);
    EXPECT_EQ(board.Width(), 105);
    EXPECT_EQ(board.Height(), 105);
    EXPECT_TRUE(board.AutoSize());
    EXPECT_TRUE(board.Scale());
    EXPECT_TRUE(board.CenterOnForm());
    EXPECT_FALSE(board.Stretch());
    EXPECT_FALSE(board.Center());
    EXPECT_FALSE(board.DesignPosSaved);
    EXPECT_DOUBLE_EQ(board.AspectRatio, 1.0);
    EXPECT_EQ(board.Menu(), nullptr);
    EXPECT_EQ(board.First(), nullptr);
    EXPECT_TRUE(board.ControlStyle & csReplicatable);
}

TEST(BoardImage, CalcDrawRect) {
    struct Case {
        const char* name;
        int boardWidth, boardHeight, pictureWidth, pictureHeight;
        bool stretch, center;
        TRect expected;
    };
    const Case cases[] = {
        {"stretch fills the client area", 400, 330, 600, 495, true, false, {0, 0, 400, 330}},
        {"stretch wins over centre", 400, 330, 600, 495, true, true, {0, 0, 400, 330}},
        {"centred larger picture is cut on all sides",
         400,
         330,
         600,
         495,
         false,
         true,
         {-100, -82, 500, 413}},
        {"centred smaller picture", 400, 330, 100, 50, false, true, {150, 140, 250, 190}},
        {"one pixel wider than the picture", 101, 50, 100, 50, false, true, {0, 0, 100, 50}},
        {"one pixel narrower than the picture", 99, 50, 100, 50, false, true, {0, 0, 100, 50}},
        {"top left at natural size", 400, 330, 600, 495, false, false, {0, 0, 600, 495}},
        {"smaller picture at top left", 400, 330, 100, 50, false, false, {0, 0, 100, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoardOnForm fixture(800, 600, Bounds(0, 0, c.boardWidth, c.boardHeight));
        TBoardImage& board = fixture.board;
        setPictureOfSize(board, c.pictureWidth, c.pictureHeight);
        board.SetStretch(c.stretch);
        board.SetCenter(c.center);
        EXPECT_EQ(board.CalcDrawRect(), c.expected);
    }
}

TEST(BoardImage, WithoutPictureNothingIsDrawnAndRatioStays) {
    TForm form(nullptr);
    TBoardImage board(&form);
    board.SetParent(&form);
    setPictureOfSize(board, 200, 100);
    EXPECT_DOUBLE_EQ(board.AspectRatio, 0.5);
    board.SetPicture(TPicture());
    EXPECT_DOUBLE_EQ(board.AspectRatio, 0.5);
    EXPECT_FALSE(board.ControlStyle & csOpaque);
    EXPECT_EQ(board.GetPalette(), 0u);
}

TEST(BoardImage, AutoSizeFollowsThePictureWithinConstraints) {
    TForm form(nullptr);
    TBoardImage board(&form);
    board.SetParent(&form);
    setPictureOfSize(board, 600, 495);
    EXPECT_EQ(board.Width(), 600);
    EXPECT_EQ(board.Height(), 495);
    EXPECT_DOUBLE_EQ(board.AspectRatio, 0.825);

    board.SetConstraints({0, 0, 400, 400});
    setPictureOfSize(board, 600, 495);
    EXPECT_EQ(board.Width(), 400);
    EXPECT_EQ(board.Height(), 400);
}

TEST(BoardImage, OpaqueOnlyWhenThePictureCoversTheBoard) {
    BoardOnForm fixture(800, 600, Bounds(0, 0, 400, 330));
    TBoardImage& board = fixture.board;
    setPictureOfSize(board, 100, 100);
    EXPECT_FALSE(board.ControlStyle & csOpaque);
    board.SetStretch(true);
    EXPECT_TRUE(board.ControlStyle & csOpaque);
    board.SetTransparent(true);
    EXPECT_FALSE(board.ControlStyle & csOpaque);
}

TEST(BoardImage, SettingTheCurrentValueRequestsNoRepaint) {
    TForm form(nullptr);
    CountingBoardImage board(&form);
    board.SetParent(&form);
    struct Setter {
        const char* name;
        std::function<void(bool)> set;
        bool current;
    };
    const Setter setters[] = {
        {"Stretch", [&](bool v) { board.SetStretch(v); }, false},
        {"Center", [&](bool v) { board.SetCenter(v); }, false},
        {"Scale", [&](bool v) { board.SetScale(v); }, true},
        {"Transparent", [&](bool v) { board.SetTransparent(v); }, false},
    };
    for (const Setter& setter : setters) {
        SCOPED_TRACE(setter.name);
        board.Invalidations = 0;
        setter.set(setter.current);
        EXPECT_EQ(board.Invalidations, 0);
        setter.set(!setter.current);
        EXPECT_GT(board.Invalidations, 0);
    }
}

TEST(BoardImage, FirstPaintRemembersTheDesignedPlaceThenCentresOnTheParentsOuterSize) {
    BoardOnForm fixture(1032, 700, Bounds(158, 18, 400, 330));
    TForm& form = fixture.form;
    TBoardImage& board = fixture.board;
    board.SetStretch(true);
    form.Show();
    ASSERT_TRUE(WaitFor([&] { return board.DesignPosSaved; }));
    ProcessPendingEvents();
    EXPECT_EQ(board.DesignLeft, 158);
    EXPECT_EQ(board.DesignTop, 18);
    EXPECT_EQ(form.Width(), 1032);
    EXPECT_EQ(board.Left(), 316);
    EXPECT_EQ(board.Top(), (700 - 330) / 2);

    // Later paints move the board again but never change the remembered place.
    form.SetBounds(0, 0, 900, 700);
    board.Repaint();
    ASSERT_TRUE(WaitFor([&] { return board.Left() == 250; }));
    EXPECT_EQ(board.DesignLeft, 158);
    EXPECT_EQ(board.DesignTop, 18);
}

TEST(BoardImage, CenterOnFormOffLeavesTheBoardWhereItIs) {
    BoardOnForm fixture(1032, 700, Bounds(158, 18, 400, 330));
    fixture.board.SetCenterOnForm(false);
    fixture.form.Show();
    ASSERT_TRUE(WaitFor([&] { return fixture.board.DesignPosSaved; }));
    EXPECT_EQ(fixture.board.Left(), 158);
    EXPECT_EQ(fixture.board.Top(), 18);
}

TEST(BoardImage, PaintsThePhotographStretchedOverTheBoard) {
    BoardOnForm fixture(800, 600, Bounds(0, 0, 400, 330));
    TForm& form = fixture.form;
    TBoardImage& board = fixture.board;
    board.SetCenterOnForm(false);
    board.SetStretch(true);
    std::vector<uint8_t> photo;
    {
        std::string bytes = DefinitionReader::ReadTextFile(":/TQ5210.jpg");
        photo.assign(bytes.begin(), bytes.end());
    }
    board.Picture().LoadFromData("TJPEGImage", photo);
    EXPECT_EQ(board.Picture().Width(), 600);
    EXPECT_EQ(board.Picture().Height(), 495);
    form.Show();
    ASSERT_TRUE(WaitFor([&] { return board.BackBuffer() != nullptr && board.DesignPosSaved; }));
    ProcessPendingEvents();
    // The photograph covers the whole board: no button-face background shows at its corners or centre.
    TColor face = ColorToRGB(clBtnFace);
    for (TPoint p : {TPoint{0, 0}, TPoint{399, 0}, TPoint{0, 329}, TPoint{399, 329}, TPoint{200, 165}}) {
        SCOPED_TRACE(std::to_string(p.X) + "," + std::to_string(p.Y));
        TColor pixel = PaintedPixel(board, p.X, p.Y);
        EXPECT_NE(pixel, clNone);
        EXPECT_NE(pixel, face);
    }
}

} // namespace
