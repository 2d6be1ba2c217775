#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text = *entry;
        std::string prefix = text.substr(0, text.find('=') + 1);
        bool replaced = std::any_of(changes.begin(), changes.end(),
                                    [&](const std::string& change) { return change.starts_with(prefix); });
        if (!replaced)
            result.push_back(text);
    }
    result.insert(result.end(), changes.begin(), changes.end());
    return result;
}

std::vector<char*> NullTerminatedPointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (auto& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

void CloseDescriptor(int& descriptor) {
    if (descriptor >= 0)
        close(descriptor);
    descriptor = -1;
}

} // namespace

std::string CommandLine(const std::vector<std::string>& arguments) {
    std::string result;
    for (const auto& argument : arguments)
        result += (result.empty() ? "" : " ") + argument;
    return result;
}

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const ChildOptions& options) {
    if (arguments.empty())
        throw std::runtime_error("no program to start");
    // Everything the child needs is prepared before fork: between fork and exec only
    // async-signal-safe calls are allowed.
    std::vector<std::string> argumentCopies = arguments;
    std::vector<std::string> environment = EnvironmentWith(options.Environment);
    std::vector<char*> argumentPointers = NullTerminatedPointers(argumentCopies);
    std::vector<char*> environmentPointers = NullTerminatedPointers(environment);
    std::string logPath = options.LogPath.empty() ? "/dev/null" : options.LogPath;
    int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log < 0)
        throw std::runtime_error("cannot open " + logPath + ": " + std::strerror(errno));
    int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    // The child reports a failed exec through this pipe; a successful exec closes it.
    int execError[2];
    if (input < 0 || pipe2(execError, O_CLOEXEC) != 0) {
        close(log);
        throw std::runtime_error(std::string("cannot prepare a child process: ") + std::strerror(errno));
    }

    pid_t parent = getpid();
    pid_t id = fork();
    if (id == 0) {
        setpgid(0, 0);
        // A test that is killed (a CTest timeout, a crash) leaves no X server behind.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        dup2(input, 0);
        dup2(log, 1);
        dup2(log, 2);
        for (auto [childDescriptor, ourDescriptor] : options.Descriptors) {
            if (childDescriptor == ourDescriptor)
                fcntl(childDescriptor, F_SETFD, 0);
            else
                dup2(ourDescriptor, childDescriptor);
        }
        execvpe(argumentPointers[0], argumentPointers.data(), environmentPointers.data());
        int error = errno;
        ssize_t written = write(execError[1], &error, sizeof error);
        (void)written;
        _exit(127);
    }
    int forkError = errno;
    close(execError[1]);
    close(log);
    close(input);
    if (id < 0) {
        close(execError[0]);
        throw std::runtime_error("cannot fork for " + arguments[0] + ": " + std::strerror(forkError));
    }
    // Set here too, so that the group exists before anyone tries to signal it.
    setpgid(id, id);
    int error = 0;
    ssize_t got;
    do
        got = read(execError[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    close(execError[0]);
    if (got == static_cast<ssize_t>(sizeof error)) {
        int status = 0;
        waitpid(id, &status, 0);
        throw std::runtime_error("cannot start " + arguments[0] + ": " + std::strerror(error));
    }
    FId = id;
}

ChildProcess::~ChildProcess() {
    Stop();
}

void ChildProcess::Reap(int status) {
    if (WIFEXITED(status))
        FExitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        FExitStatus = 128 + WTERMSIG(status);
}

bool ChildProcess::Running() {
    if (FId < 0 || FExitStatus)
        return false;
    int status = 0;
    if (waitpid(FId, &status, WNOHANG) == FId)
        Reap(status);
    return !FExitStatus;
}

std::optional<int> ChildProcess::ExitStatus() {
    Running();
    return FExitStatus;
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    WaitUntil([this] { return !Running(); }, timeout);
    return FExitStatus;
}

void ChildProcess::Stop(std::chrono::milliseconds grace) {
    if (FId < 0)
        return;
    // The group is signalled even when its leader has already ended, for what it left behind.
    kill(-FId, SIGTERM);
    if (Running())
        WaitForExit(grace);
    kill(-FId, SIGKILL);
    if (Running()) {
        int status = 0;
        if (waitpid(FId, &status, 0) == FId)
            Reap(status);
    }
    FId = -1;
}

CommandResult RunCommand(const std::vector<std::string>& arguments, const ChildOptions& options,
                         std::chrono::milliseconds timeout) {
    int output[2];
    int errors[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error(std::string("cannot make a pipe: ") + std::strerror(errno));
    if (pipe2(errors, O_CLOEXEC) != 0) {
        close(output[0]);
        close(output[1]);
        throw std::runtime_error(std::string("cannot make a pipe: ") + std::strerror(errno));
    }
    ChildOptions withPipes = options;
    withPipes.Descriptors.push_back({1, output[1]});
    withPipes.Descriptors.push_back({2, errors[1]});
    CommandResult result;
    std::optional<ChildProcess> child;
    try {
        child.emplace(arguments, withPipes);
    } catch (...) {
        for (int descriptor : {output[0], output[1], errors[0], errors[1]})
            close(descriptor);
        throw;
    }
    close(output[1]);
    close(errors[1]);

    auto deadline = Clock::now() + timeout;
    int readEnds[2] = {output[0], errors[0]};
    std::string* targets[2] = {&result.Output, &result.Errors};
    while ((readEnds[0] >= 0 || readEnds[1] >= 0) && Clock::now() < deadline) {
        pollfd watched[2];
        for (int i = 0; i < 2; ++i)
            watched[i] = {readEnds[i], POLLIN, 0};
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (poll(watched, 2, static_cast<int>(std::max<long long>(1, left.count()))) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (readEnds[i] < 0 || watched[i].revents == 0)
                continue;
            char buffer[65536];
            ssize_t got = read(readEnds[i], buffer, sizeof buffer);
            if (got > 0)
                targets[i]->append(buffer, static_cast<size_t>(got));
            else if (got == 0 || errno != EINTR)
                CloseDescriptor(readEnds[i]);
        }
    }
    CloseDescriptor(readEnds[0]);
    CloseDescriptor(readEnds[1]);
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    auto status = child->WaitForExit(std::max(left, std::chrono::milliseconds(0)));
    result.ExitStatus = status.value_or(-1);
    child->Stop();
    return result;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    while (true) {
        if (condition())
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
}
