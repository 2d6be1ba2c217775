// A private X display for the end-to-end tests: Xvfb with a 1024 x 768 screen and openbox as the
// window manager, plus the X tools that drive and inspect it (xdotool, xwininfo, xprop, import).
#pragma once

#include "ChildProcess.h"

#include <QImage>
#include <QMargins>
#include <QRect>

#include <memory>
#include <optional>
#include <string>
#include <vector>

using WindowId = unsigned long;

struct WindowGeometry {
    QRect Client;   // the window's own area on the screen
    QMargins Frame; // what the window manager adds around it
    QRect Outer() const { return Client.marginsAdded(Frame); }
};

class VirtualDesktop {
public:
    static constexpr int ScreenWidth = 1024;
    static constexpr int ScreenHeight = 768;

    // Starts the X server and the window manager; throws std::runtime_error when either fails.
    VirtualDesktop();
    ~VirtualDesktop();
    VirtualDesktop(const VirtualDesktop&) = delete;
    VirtualDesktop& operator=(const VirtualDesktop&) = delete;

    const std::string& Display() const { return FDisplay; }
    // Options that make a child a client of this display.
    ChildOptions ClientOptions(const std::string& logPath = {}) const;
    CommandResult Run(const std::vector<std::string>& arguments) const;

    // Visible windows of the given process whose name matches the regular expression.
    std::vector<WindowId> FindWindows(pid_t process, const std::string& namePattern = ".*") const;
    std::optional<WindowGeometry> Geometry(WindowId window) const;
    std::string Name(WindowId window) const;
    // The atoms of the window's _NET_WM_STATE, such as "_NET_WM_STATE_MAXIMIZED_VERT".
    std::vector<std::string> States(WindowId window) const;
    std::optional<WindowId> ActiveWindow() const;
    QRect WorkArea() const;
    QImage Screenshot() const;

    void MoveMouse(int x, int y) const;
    void Click(int x, int y) const;
    void PressKeys(const std::string& keys) const;

private:
    void RunChecked(const std::vector<std::string>& arguments) const;
    std::string FDisplay;
    std::unique_ptr<ChildProcess> FServer;
    std::unique_ptr<ChildProcess> FWindowManager;
};

// Starts the program on the desktop and stops its whole process group when it goes.
class ProgramOnDesktop {
public:
    ProgramOnDesktop(const VirtualDesktop& desktop, const std::string& path);
    ~ProgramOnDesktop();

    ChildProcess& Process() { return *FProcess; }
    // What the program wrote to its output and error streams so far.
    std::string Log() const;
    void Stop();

private:
    std::string FLogPath;
    std::unique_ptr<ChildProcess> FProcess;
};
