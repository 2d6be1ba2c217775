#include "VirtualDesktop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

using namespace std::chrono_literals;

// Reads the display number that Xvfb writes to its display descriptor once it accepts clients.
std::string ReadDisplayNumber(int descriptor, std::chrono::milliseconds timeout) {
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (text.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                          std::chrono::steady_clock::now());
        if (left.count() <= 0)
            throw std::runtime_error("Xvfb did not report its display in time");
        pollfd watched{descriptor, POLLIN, 0};
        int ready = poll(&watched, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            continue;
        char buffer[32];
        ssize_t got = read(descriptor, buffer, sizeof buffer);
        if (got <= 0)
            throw std::runtime_error("Xvfb ended before reporting its display");
        text.append(buffer, static_cast<size_t>(got));
    }
    return text.substr(0, text.find('\n'));
}

std::string TemporaryPath(const std::string& stem) {
    static std::atomic<int> counter = 0;
    return "/tmp/" + stem + "-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".log";
}

// The value after "label:" on the line of xwininfo's report that starts with it.
std::optional<int> ReportedNumber(const std::string& report, const std::string& label) {
    std::istringstream lines(report);
    std::string line;
    while (std::getline(lines, line)) {
        auto start = line.find_first_not_of(' ');
        if (start != std::string::npos && line.compare(start, label.size(), label) == 0)
            return std::stoi(line.substr(start + label.size()));
    }
    return std::nullopt;
}

// The numbers after "=" in xprop's report of one CARDINAL property.
std::vector<long> PropertyNumbers(const std::string& report) {
    std::vector<long> numbers;
    auto equals = report.find('=');
    if (equals == std::string::npos)
        return numbers;
    std::istringstream values(report.substr(equals + 1));
    std::string value;
    while (std::getline(values, value, ','))
        numbers.push_back(std::stol(value));
    return numbers;
}

} // namespace

VirtualDesktop::VirtualDesktop() {
    int display[2];
    if (pipe2(display, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("cannot make a pipe: ") + std::strerror(errno));
    ChildOptions serverOptions;
    serverOptions.Descriptors.push_back({3, display[1]});
    try {
        FServer = std::make_unique<ChildProcess>(
            std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0",
                                     std::to_string(ScreenWidth) + "x" + std::to_string(ScreenHeight) + "x24",
                                     "-nolisten", "tcp", "-noreset"},
            serverOptions);
        close(display[1]);
        FDisplay = ":" + ReadDisplayNumber(display[0], 60s);
    } catch (...) {
        close(display[0]);
        throw;
    }
    close(display[0]);

    FWindowManager =
        std::make_unique<ChildProcess>(std::vector<std::string>{"openbox", "--sm-disable"}, ClientOptions());
    bool managed = WaitUntil(
        [this] {
            return Run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).Output.find("window id") !=
                   std::string::npos;
        },
        60s);
    if (!managed)
        throw std::runtime_error("openbox did not start managing display " + FDisplay);
    // Out of the way, so that the pointer rests over nothing that reacts to it.
    MoveMouse(ScreenWidth - 1, ScreenHeight - 1);
}

VirtualDesktop::~VirtualDesktop() {
    if (FWindowManager)
        FWindowManager->Stop();
    if (FServer)
        FServer->Stop();
}

ChildOptions VirtualDesktop::ClientOptions(const std::string& logPath) const {
    ChildOptions options;
    options.Environment = {"DISPLAY=" + FDisplay, "QT_QPA_PLATFORM=xcb"};
    options.LogPath = logPath;
    return options;
}

CommandResult VirtualDesktop::Run(const std::vector<std::string>& arguments) const {
    return RunCommand(arguments, ClientOptions());
}

void VirtualDesktop::RunChecked(const std::vector<std::string>& arguments) const {
    CommandResult result = Run(arguments);
    if (result.ExitStatus != 0)
        throw std::runtime_error(CommandLine(arguments) + " failed: " + result.Errors);
}

std::vector<WindowId> VirtualDesktop::FindWindows(pid_t process, const std::string& namePattern) const {
    CommandResult result = Run({"xdotool", "search", "--all", "--onlyvisible", "--pid",
                                std::to_string(process), "--name", namePattern});
    std::vector<WindowId> windows;
    std::istringstream lines(result.Output);
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty())
            windows.push_back(std::stoul(line));
    return windows;
}

std::optional<WindowGeometry> VirtualDesktop::Geometry(WindowId window) const {
    CommandResult report = Run({"xwininfo", "-id", std::to_string(window)});
    auto left = ReportedNumber(report.Output, "Absolute upper-left X:");
    auto top = ReportedNumber(report.Output, "Absolute upper-left Y:");
    auto width = ReportedNumber(report.Output, "Width:");
    auto height = ReportedNumber(report.Output, "Height:");
    if (report.ExitStatus != 0 || !left || !top || !width || !height)
        return std::nullopt;
    WindowGeometry geometry;
    geometry.Client = QRect(*left, *top, *width, *height);
    // Left, right, top, bottom, as the window manager announces them.
    auto extents =
        PropertyNumbers(Run({"xprop", "-id", std::to_string(window), "_NET_FRAME_EXTENTS"}).Output);
    if (extents.size() == 4)
        geometry.Frame = QMargins(static_cast<int>(extents[0]), static_cast<int>(extents[2]),
                                  static_cast<int>(extents[1]), static_cast<int>(extents[3]));
    return geometry;
}

std::string VirtualDesktop::Name(WindowId window) const {
    std::string name = Run({"xdotool", "getwindowname", std::to_string(window)}).Output;
    if (!name.empty() && name.back() == '\n')
        name.pop_back();
    return name;
}

std::vector<std::string> VirtualDesktop::States(WindowId window) const {
    std::string report = Run({"xprop", "-id", std::to_string(window), "_NET_WM_STATE"}).Output;
    std::vector<std::string> states;
    auto equals = report.find('=');
    if (equals == std::string::npos)
        return states;
    std::istringstream values(report.substr(equals + 1));
    std::string value;
    while (std::getline(values, value, ',')) {
        auto first = value.find_first_not_of(" \n");
        auto last = value.find_last_not_of(" \n");
        if (first != std::string::npos)
            states.push_back(value.substr(first, last - first + 1));
    }
    return states;
}

std::optional<WindowId> VirtualDesktop::ActiveWindow() const {
    CommandResult result = Run({"xdotool", "getactivewindow"});
    if (result.ExitStatus != 0 || result.Output.empty())
        return std::nullopt;
    return std::stoul(result.Output);
}

QRect VirtualDesktop::WorkArea() const {
    // The first four numbers describe the first desktop: x, y, width, height.
    auto numbers = PropertyNumbers(Run({"xprop", "-root", "_NET_WORKAREA"}).Output);
    if (numbers.size() < 4)
        return QRect(0, 0, ScreenWidth, ScreenHeight);
    return QRect(static_cast<int>(numbers[0]), static_cast<int>(numbers[1]), static_cast<int>(numbers[2]),
                 static_cast<int>(numbers[3]));
}

QImage VirtualDesktop::Screenshot() const {
    CommandResult result = Run({"import", "-window", "root", "png:-"});
    QImage image;
    if (result.ExitStatus != 0 || !image.loadFromData(reinterpret_cast<const uchar*>(result.Output.data()),
                                                      static_cast<int>(result.Output.size()), "PNG"))
        throw std::runtime_error("cannot take a screenshot: " + result.Errors);
    return image.convertToFormat(QImage::Format_RGB32);
}

void VirtualDesktop::MoveMouse(int x, int y) const {
    RunChecked({"xdotool", "mousemove", std::to_string(x), std::to_string(y)});
}

void VirtualDesktop::Click(int x, int y) const {
    RunChecked({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"});
}

void VirtualDesktop::PressKeys(const std::string& keys) const {
    RunChecked({"xdotool", "key", "--clearmodifiers", keys});
}

ProgramOnDesktop::ProgramOnDesktop(const VirtualDesktop& desktop, const std::string& path)
    : FLogPath(TemporaryPath("tq5210-e2e")),
      FProcess(
          std::make_unique<ChildProcess>(std::vector<std::string>{path}, desktop.ClientOptions(FLogPath))) {}

ProgramOnDesktop::~ProgramOnDesktop() {
    Stop();
    unlink(FLogPath.c_str());
}

std::string ProgramOnDesktop::Log() const {
    std::ifstream file(FLogPath);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void ProgramOnDesktop::Stop() {
    FProcess->Stop();
}
