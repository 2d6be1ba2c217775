// Starting and stopping the helper programs of the end-to-end tests (the X server, the window
// manager, xdotool and the guide itself). Each child runs in its own process group so that ending
// it also ends whatever it started.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct ChildOptions {
    // "NAME=value" entries added to (or replacing those of) this process's environment.
    std::vector<std::string> Environment;
    // Descriptors handed to the child: the child's descriptor number, then ours.
    std::vector<std::pair<int, int>> Descriptors;
    // Where the child's output and errors go when no descriptor is given for them; empty
    // means /dev/null.
    std::string LogPath;
};

class ChildProcess {
public:
    // Starts arguments[0], looked up on PATH. Throws std::runtime_error when it cannot start.
    ChildProcess(const std::vector<std::string>& arguments, const ChildOptions& options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Id() const { return FId; }
    bool Running();
    // The exit status once the child has ended: its exit code, or 128 + the signal that ended it.
    std::optional<int> ExitStatus();
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    // Asks the whole process group to end, then kills what is left after a grace period.
    void Stop(std::chrono::milliseconds grace = std::chrono::seconds(5));

private:
    void Reap(int status);
    pid_t FId = -1;
    std::optional<int> FExitStatus;
};

struct CommandResult {
    int ExitStatus = -1; // -1 when the command did not finish in time
    std::string Output;
    std::string Errors;
};

// Runs a command to its end, collecting its output; a command that overruns timeout is stopped.
CommandResult RunCommand(const std::vector<std::string>& arguments, const ChildOptions& options = {},
                         std::chrono::milliseconds timeout = std::chrono::seconds(30));

// Calls condition every few milliseconds until it holds or timeout has passed; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// The arguments joined with spaces, for messages.
std::string CommandLine(const std::vector<std::string>& arguments);
