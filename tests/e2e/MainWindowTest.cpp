// End-to-end tests of the main window: the real program on a private X display with a window
// manager, watched through the window manager's view of its windows and through screenshots,
// and driven with real pointer clicks and key presses.
#include "VirtualDesktop.h"

#include <QColor>
#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <sstream>

namespace {

using namespace std::chrono_literals;

// Generous bounds on waits, since the program runs much slower under the address sanitizer.
// Nothing here measures time: each wait ends as soon as its condition holds.
constexpr std::chrono::milliseconds startTimeout = 180s;
constexpr std::chrono::milliseconds settleTimeout = 90s;
constexpr std::chrono::milliseconds helpWindowTimeout = 10s;

const std::string helpWindowName = "^Instructions for Settings utility$";

// The main window's background is white; the photograph's border pixels are all darker than 160.
bool IsWhite(QRgb pixel) {
    return qRed(pixel) >= 250 && qGreen(pixel) >= 250 && qBlue(pixel) >= 250;
}
bool IsClearlyDarkerThanWhite(QRgb pixel) {
    return qRed(pixel) < 200 && qGreen(pixel) < 200 && qBlue(pixel) < 200;
}

std::string Describe(const QRect& rect) {
    std::ostringstream text;
    text << rect.width() << "x" << rect.height() << "+" << rect.x() << "+" << rect.y();
    return text.str();
}

std::string Describe(QPoint point, QRgb pixel) {
    std::ostringstream text;
    text << "(" << point.x() << ", " << point.y() << ") is rgb(" << qRed(pixel) << ", " << qGreen(pixel)
         << ", " << qBlue(pixel) << ")";
    return text.str();
}

// The board photograph as the board image shows it, stretched from 600 x 495 to 400 x 330;
// empty when the file cannot be read as a 600 x 495 picture.
QImage ScaledBoardPhoto() {
    QImage photo(BOARD_PHOTO_PATH);
    if (photo.size() != QSize(600, 495))
        return {};
    return photo.scaled(400, 330, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        desktop = std::make_unique<VirtualDesktop>();
        program = std::make_unique<ProgramOnDesktop>(*desktop, PROGRAM_PATH);
    }

    void TearDown() override {
        if (program) {
            program->Stop();
            if (HasFailure())
                std::cout << "Output of the program:\n" << program->Log() << "(end of output)\n";
        }
        program.reset();
        desktop.reset();
    }

    pid_t ProgramId() { return program->Process().Id(); }

    // The program's window captioned "Setup", once it is visible; none if the program ends first.
    std::optional<WindowId> WaitForMainWindow() {
        std::optional<WindowId> found;
        WaitUntil(
            [&] {
                if (!program->Process().Running())
                    return true;
                // A message box might share the caption; the main window is the largest.
                int largestArea = 0;
                for (WindowId window : desktop->FindWindows(ProgramId(), "^Setup$")) {
                    auto geometry = desktop->Geometry(window);
                    int area = geometry ? geometry->Client.width() * geometry->Client.height() : 0;
                    if (area > largestArea) {
                        largestArea = area;
                        found = window;
                    }
                }
                return found.has_value();
            },
            startTimeout);
        return found;
    }

    // Waits until the main window fills the screen, as it does maximized on this desktop.
    std::optional<WindowGeometry> WaitForMaximizedGeometry(WindowId window) {
        std::optional<WindowGeometry> geometry;
        bool filled = WaitUntil(
            [&] {
                geometry = desktop->Geometry(window);
                return geometry && geometry->Outer() == desktop->WorkArea();
            },
            settleTimeout);
        return filled ? geometry : std::nullopt;
    }

    // The help window shows itself shortly after start-up. Input is sent only once it is there (or
    // plainly not coming), so that its appearance cannot take the focus from an open menu.
    void WaitForHelpWindow() {
        WaitUntil([&] { return !desktop->FindWindows(ProgramId(), helpWindowName).empty(); },
                  helpWindowTimeout);
    }

    // Outer rectangles of the program's visible windows other than the main window.
    std::vector<QRect> OtherWindows(WindowId mainWindow) {
        std::vector<QRect> rects;
        for (WindowId window : desktop->FindWindows(ProgramId()))
            if (window != mainWindow)
                if (auto geometry = desktop->Geometry(window))
                    rects.push_back(geometry->Outer().adjusted(-2, -2, 2, 2));
        return rects;
    }

    std::unique_ptr<VirtualDesktop> desktop;
    std::unique_ptr<ProgramOnDesktop> program;
};

// The menu bar is the band at the top of the main window's own area that is not the white
// background of the form; its height is counted down the window's left edge, where no menu
// title lies. Returns 0 when no such band is found.
int MenuBarHeight(const QImage& screen, const QRect& client) {
    int x = client.left() + 2;
    for (int rows = 0; rows < 80; ++rows)
        if (IsWhite(screen.pixel(x, client.top() + rows)))
            return rows;
    return 0;
}

// Where the first menu title ("&File") is drawn in the menu bar: the first run of dark text
// pixels from the left, ended by a gap wider than any gap between letters.
std::optional<QRect> FirstMenuTitle(const QImage& screen, const QRect& client, int menuBarHeight) {
    auto columnHasText = [&](int x) {
        for (int y = client.top() + 2; y < client.top() + menuBarHeight - 2; ++y)
            if (QColor(screen.pixel(x, y)).value() < 128)
                return true;
        return false;
    };
    int first = -1;
    int last = -1;
    for (int x = client.left(); x < client.left() + 200; ++x) {
        if (columnHasText(x)) {
            if (first < 0)
                first = x;
            last = x;
        } else if (first >= 0 && x - last > 8) {
            break;
        }
    }
    if (first < 0 || last - first < 4)
        return std::nullopt;
    return QRect(first, client.top(), last - first + 1, menuBarHeight);
}

TEST_F(MainWindowTest, AppearsMaximizedWithTheCaptionSetup) {
    auto window = WaitForMainWindow();
    ASSERT_TRUE(window) << "no window captioned Setup appeared";
    EXPECT_EQ(desktop->Name(*window), "Setup");

    std::optional<WindowGeometry> geometry;
    std::vector<std::string> states;
    bool maximized = WaitUntil(
        [&] {
            geometry = desktop->Geometry(*window);
            states = desktop->States(*window);
            auto has = [&](const char* state) {
                return std::find(states.begin(), states.end(), state) != states.end();
            };
            return geometry && geometry->Outer() == desktop->WorkArea() &&
                   has("_NET_WM_STATE_MAXIMIZED_VERT") && has("_NET_WM_STATE_MAXIMIZED_HORZ");
        },
        settleTimeout);
    std::string stateList;
    for (const auto& state : states)
        stateList += state + " ";
    EXPECT_TRUE(maximized) << "outer frame " << (geometry ? Describe(geometry->Outer()) : "unknown")
                           << ", work area " << Describe(desktop->WorkArea()) << ", states: " << stateList;
}

// The window carries the program's icon: a 32 x 32 picture among the sizes it offers the desktop.
TEST_F(MainWindowTest, ShowsTheProgramsIconOnItsWindow) {
    auto window = WaitForMainWindow();
    ASSERT_TRUE(window) << "no window captioned Setup appeared";
    std::string icon;
    bool found = WaitUntil(
        [&] {
            icon = desktop
                       ->Run({"xprop", "-id", std::to_string(*window), "-notype", "-f", "_NET_WM_ICON", "32c",
                              " = $0+\n", "_NET_WM_ICON"})
                       .Output;
            return icon.find("=") != std::string::npos;
        },
        settleTimeout);
    ASSERT_TRUE(found) << "the window has no icon: " << icon;
    // The property lists each picture as its width and height followed by its pixels.
    std::istringstream values(icon.substr(icon.find('=') + 1));
    std::vector<long long> numbers;
    for (std::string value; std::getline(values, value, ',');)
        numbers.push_back(std::stoll(value));
    bool has32 = false;
    for (size_t i = 0; i + 1 < numbers.size() && numbers[i] > 0 && numbers[i + 1] > 0;) {
        has32 = has32 || (numbers[i] == 32 && numbers[i + 1] == 32);
        i += 2 + static_cast<size_t>(numbers[i] * numbers[i + 1]);
    }
    EXPECT_TRUE(has32) << "no 32 x 32 picture in the window's icon";
}

struct PhotoCheck {
    bool Passed = false;
    std::string Report = "nothing checked";
    QImage Screen;
};

TEST_F(MainWindowTest, ShowsTheBoardPhotoCentredOnTheWindowsOuterSize) {
    // Any good scaling filter will do: comparisons are on averages or with a tolerance.
    QImage reference = ScaledBoardPhoto();
    ASSERT_EQ(reference.size(), QSize(400, 330)) << "cannot read " << BOARD_PHOTO_PATH;

    auto window = WaitForMainWindow();
    ASSERT_TRUE(window) << "no window captioned Setup appeared";
    auto maximized = WaitForMaximizedGeometry(*window);
    ASSERT_TRUE(maximized) << "the main window was not maximized";
    ASSERT_EQ(maximized->Outer(), QRect(0, 0, 1024, 768))
        << "the desktop's work area is not the whole screen";

    auto check = [&]() {
        PhotoCheck result;
        result.Screen = desktop->Screenshot();
        const QImage& screen = result.Screen;
        auto geometry = desktop->Geometry(*window);
        if (!geometry)
            return result.Report = "the main window went away", result;
        int menuBarHeight = MenuBarHeight(screen, geometry->Client);
        if (menuBarHeight == 0)
            return result.Report = "no menu bar at the top of the main window", result;
        // The outer frame is the whole 1024 x 768 screen, so the photo's left edge is
        // (1024 - 400) / 2 = 312 pixels right of the window's left edge, and its top edge
        // (768 - 330) / 2 = 219 pixels below the menu bar.
        QPoint topLeft = geometry->Client.topLeft() + QPoint(312, menuBarHeight + 219);
        QRect photoRect(topLeft, QSize(400, 330));
        // Windows of the program over the main window (the help window sits over the middle).
        std::vector<QRect> covered = OtherWindows(*window);
        // The "Input &Filters" circle is drawn over the photo at (240, 152), 33 x 73.
        covered.push_back(QRect(topLeft + QPoint(240, 152), QSize(33, 73)).adjusted(-2, -2, 2, 2));
        auto visible = [&](QRect rect) {
            return std::none_of(covered.begin(), covered.end(),
                                [&](const QRect& other) { return other.intersects(rect); });
        };

        std::vector<std::string> faults;
        auto expect = [&](QPoint point, bool white) {
            if (!visible(QRect(point, QSize(1, 1))))
                return;
            QRgb pixel = screen.pixel(point);
            if (white ? !IsWhite(pixel) : !IsClearlyDarkerThanWhite(pixel))
                faults.push_back(Describe(point, pixel) + (white ? ", not white" : ", not photo"));
        };
        // The photo's outermost rows and columns, and the white background right next to them.
        for (int y = photoRect.top() + 4; y < photoRect.bottom() - 4; y += 9) {
            expect({photoRect.left() - 1, y}, true);
            expect({photoRect.left(), y}, false);
            expect({photoRect.right(), y}, false);
            expect({photoRect.right() + 1, y}, true);
        }
        for (int x = photoRect.left() + 4; x < photoRect.right() - 4; x += 9) {
            expect({x, photoRect.top() - 1}, true);
            expect({x, photoRect.top()}, false);
            expect({x, photoRect.bottom()}, false);
            expect({x, photoRect.bottom() + 1}, true);
        }

        // Average colours of 10 x 10 blocks against the same blocks of the scaled photo.
        int compared = 0;
        int mismatched = 0;
        for (int blockY = 0; blockY + 10 <= 330; blockY += 16) {
            for (int blockX = 0; blockX + 10 <= 400; blockX += 16) {
                if (!visible(QRect(topLeft + QPoint(blockX, blockY), QSize(10, 10))))
                    continue;
                long sums[2][3] = {};
                for (int y = blockY; y < blockY + 10; ++y)
                    for (int x = blockX; x < blockX + 10; ++x) {
                        QRgb shown = screen.pixel(topLeft + QPoint(x, y));
                        QRgb expected = reference.pixel(x, y);
                        sums[0][0] += qRed(shown), sums[0][1] += qGreen(shown), sums[0][2] += qBlue(shown);
                        sums[1][0] += qRed(expected), sums[1][1] += qGreen(expected),
                            sums[1][2] += qBlue(expected);
                    }
                ++compared;
                for (int channel = 0; channel < 3; ++channel)
                    if (std::abs(sums[0][channel] - sums[1][channel]) > 100 * 16) {
                        ++mismatched;
                        if (mismatched <= 5)
                            faults.push_back("block at (" + std::to_string(blockX) + ", " +
                                             std::to_string(blockY) + ") of the photo differs");
                        break;
                    }
            }
        }
        if (compared < 150)
            faults.push_back("only " + std::to_string(compared) + " blocks of the photo are uncovered");

        std::ostringstream report;
        report << "photo expected at " << Describe(photoRect) << " (menu bar " << menuBarHeight << " high); "
               << compared << " blocks compared, " << mismatched << " differ";
        for (const auto& fault : faults)
            report << "\n  " << fault;
        result.Report = report.str();
        result.Passed = faults.empty();
        return result;
    };

    PhotoCheck last;
    bool shown = WaitUntil([&] { return (last = check()).Passed; }, settleTimeout);
    if (!shown && !last.Screen.isNull()) {
        std::string path =
            QDir::tempPath().toStdString() + "/e2e-board-photo-" + std::to_string(ProgramId()) + ".png";
        last.Screen.save(QString::fromStdString(path));
        last.Report += "\n  screenshot saved as " + path;
    }
    EXPECT_TRUE(shown) << last.Report;
}

// The circle "Input &Filters" lies at (240, 152) in the board, 33 x 73: its idle look is a yellow
// ring blended at half strength over the photo, whose corners show the photo unchanged.
TEST_F(MainWindowTest, ShowsTheIdleRingOverTheFilterJumpers) {
    // Any good scaling filter will do: comparisons are on averages or with a tolerance.
    QImage reference = ScaledBoardPhoto();
    ASSERT_EQ(reference.size(), QSize(400, 330)) << "cannot read " << BOARD_PHOTO_PATH;
    auto window = WaitForMainWindow();
    ASSERT_TRUE(window) << "no window captioned Setup appeared";
    auto geometry = WaitForMaximizedGeometry(*window);
    ASSERT_TRUE(geometry) << "the main window was not maximized";

    // Mean of a 3 x 3 block of an image, per channel.
    auto blockMean = [](const QImage& image, QPoint centre) {
        std::array<double, 3> mean{};
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                QRgb pixel = image.pixel(centre + QPoint(dx, dy));
                mean[0] += qRed(pixel) / 9.0, mean[1] += qGreen(pixel) / 9.0, mean[2] += qBlue(pixel) / 9.0;
            }
        return mean;
    };
    std::string report = "nothing checked";
    auto ringShown = [&] {
        QImage screen = desktop->Screenshot();
        int menuBarHeight = MenuBarHeight(screen, geometry->Client);
        if (menuBarHeight == 0)
            return report = "no menu bar", false;
        QPoint board = geometry->Client.topLeft() + QPoint(312, menuBarHeight + 219);
        QPoint circle = board + QPoint(240, 152);
        std::ostringstream text;
        bool passed = true;
        // Corners of the circle's bounds: the photo as it is (a loose tolerance, since the
        // reference was scaled by another filter).
        for (QPoint corner : {QPoint(1, 1), QPoint(31, 1), QPoint(1, 71), QPoint(31, 71)}) {
            auto shown = blockMean(screen, circle + corner);
            auto expected = blockMean(reference, QPoint(240, 152) + corner);
            for (int channel = 0; channel < 3; ++channel)
                if (std::abs(shown[channel] - expected[channel]) > 45) {
                    text << "corner (" << corner.x() << ", " << corner.y() << ") differs from the photo; ";
                    passed = false;
                    break;
                }
        }
        // Along the ring's middle (0.875 of the half-axes) yellow at half strength lifts red and
        // green and halves blue, whatever lies beneath.
        std::array<double, 3> shift{};
        const int samples = 16;
        for (int i = 0; i < samples; ++i) {
            double angle = 2 * 3.14159265358979 * i / samples;
            QPoint onRing(static_cast<int>(std::lround(16 + 0.875 * 16 * std::cos(angle))),
                          static_cast<int>(std::lround(36 + 0.875 * 36 * std::sin(angle))));
            QRgb shown = screen.pixel(circle + onRing);
            QRgb expected = reference.pixel(QPoint(240, 152) + onRing);
            shift[0] += (qRed(shown) - qRed(expected)) / double(samples);
            shift[1] += (qGreen(shown) - qGreen(expected)) / double(samples);
            shift[2] += (qBlue(shown) - qBlue(expected)) / double(samples);
        }
        text << "mean shift on the ring: red " << shift[0] << ", green " << shift[1] << ", blue " << shift[2];
        passed = passed && shift[0] > 40 && shift[1] > 30 && shift[2] < -10;
        report = text.str();
        return passed;
    };
    EXPECT_TRUE(WaitUntil(ringShown, settleTimeout)) << report;
}

enum class InputDevice { Mouse, Keyboard };

std::string Name(InputDevice device) {
    return device == InputDevice::Mouse ? "Mouse" : "Keyboard";
}
void PrintTo(InputDevice device, std::ostream* stream) {
    *stream << Name(device);
}

class FileExitTest : public MainWindowTest, public ::testing::WithParamInterface<InputDevice> {};

TEST_P(FileExitTest, EndsTheProgramWithExitStatusZero) {
    auto window = WaitForMainWindow();
    ASSERT_TRUE(window) << "no window captioned Setup appeared";
    auto geometry = WaitForMaximizedGeometry(*window);
    ASSERT_TRUE(geometry) << "the main window was not maximized";
    WaitForHelpWindow();

    std::optional<QRect> fileTitle;
    int menuBarHeight = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            QImage screen = desktop->Screenshot();
            menuBarHeight = MenuBarHeight(screen, geometry->Client);
            fileTitle = FirstMenuTitle(screen, geometry->Client, menuBarHeight);
            return fileTitle.has_value();
        },
        settleTimeout))
        << "no menu title found in the menu bar";

    // The open File menu is a window of its own just below the File title.
    auto openMenu = [&]() {
        std::optional<QRect> menu;
        WaitUntil(
            [&] {
                for (WindowId other : desktop->FindWindows(ProgramId()))
                    if (auto otherGeometry = desktop->Geometry(other);
                        other != *window && otherGeometry &&
                        std::abs(otherGeometry->Client.top() - (geometry->Client.top() + menuBarHeight)) <=
                            8 &&
                        std::abs(otherGeometry->Client.left() - fileTitle->left()) <= 30)
                        menu = otherGeometry->Client;
                return menu.has_value();
            },
            settleTimeout);
        return menu;
    };

    if (GetParam() == InputDevice::Mouse) {
        desktop->Click(fileTitle->center().x(), fileTitle->center().y());
        auto menu = openMenu();
        ASSERT_TRUE(menu) << "clicking File opened no menu";
        // The File menu holds the single command Exit, so its middle is on that command.
        desktop->Click(menu->center().x(), menu->center().y());
    } else {
        // Keys go to the active window: a click on the empty background below the photo makes
        // it the main window.
        desktop->Click(geometry->Client.left() + 10, geometry->Client.bottom() - 10);
        ASSERT_TRUE(WaitUntil([&] { return desktop->ActiveWindow() == window; }, settleTimeout))
            << "the main window did not become active";
        desktop->PressKeys("alt+f");
        ASSERT_TRUE(openMenu()) << "Alt+F opened no menu";
        desktop->PressKeys("e");
    }

    auto status = program->Process().WaitForExit(settleTimeout);
    ASSERT_TRUE(status) << "the program was still running";
    EXPECT_EQ(*status, 0);
}

INSTANTIATE_TEST_SUITE_P(WithEachInputDevice, FileExitTest,
                         ::testing::Values(InputDevice::Mouse, InputDevice::Keyboard),
                         [](const ::testing::TestParamInfo<InputDevice>& info) { return Name(info.param); });

} // namespace
