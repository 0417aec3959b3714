#include "run/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace tovan::run {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Closes a descriptor once, whichever way the scope is left.
struct Descriptor {
    int fd = -1;
    ~Descriptor() { reset(); }
    void reset() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

// A pipe closed by exec, whose read end never blocks: empty when made, else the reason.
std::string OpenPipe(Descriptor& readEnd, Descriptor& writeEnd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return std::strerror(errno);
    readEnd.fd = fds[0];
    writeEnd.fd = fds[1];
    ::fcntl(readEnd.fd, F_SETFL, O_NONBLOCK);
    return {};
}

// Keeps the last kKeptStandardError bytes, trimming in large steps so that a flood costs
// little.
void Keep(std::string& text, const char* bytes, std::size_t count) {
    text.append(bytes, count);
    if (text.size() > 2 * kKeptStandardError) text.erase(0, text.size() - kKeptStandardError);
}

void Finish(std::string& text) {
    if (text.size() > kKeptStandardError) text.erase(0, text.size() - kKeptStandardError);
}

// Reads what is there without waiting; false at the end of the stream.
bool Drain(int fd, std::string& text) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            Keep(text, buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

// Reads what the progress pipe holds without waiting and passes on each complete line; false
// at the end of the stream.
bool DrainProgress(int fd, std::string& pending, const ChildOptions& options) {
    std::string text;
    const bool open = Drain(fd, text);
    pending += text;
    std::size_t start = 0;
    for (std::size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1)
        options.progress(pending.substr(start, end - start));
    pending.erase(0, start);
    if (pending.size() > kKeptStandardError) pending.clear(); // a line that never ends
    return open;
}

// The environment of the child: ours, with the progress variable naming `fd`.
std::vector<std::string> EnvironmentWithProgress(int fd) {
    const std::string prefix = std::string(kProgressVariable) + "=";
    std::vector<std::string> entries;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e)
        if (!std::string_view(*e).starts_with(prefix)) entries.emplace_back(*e);
    entries.push_back(prefix + std::to_string(fd));
    return entries;
}

void Interpret(int status, ChildResult& result) {
    if (WIFEXITED(status)) {
        result.exited = true;
        result.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
        const char* name = ::strsignal(result.signal);
        result.signalName = name != nullptr ? name : "unknown signal";
    }
}

// In the child between fork and exec: only calls that are safe there. The child gets its own
// process group, so that ending it also ends whatever it started, and is killed when its
// parent dies, so that no engine runs on as an orphan. Why it could not start goes to
// `startFd`, which exec closes on success.
// The progress pipe's write end, when there is one, is the one descriptor besides the standard
// ones that the child keeps open across exec; its number is already in `envp`.
[[noreturn]] void StartInChild(const char* folder, int errorFd, int startFd, pid_t parent,
                               char** argv, int progressFd, char** envp) {
    ::setpgid(0, 0);
#if defined(__linux__)
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127); // the parent is already gone
#else
    (void)parent;
#endif
    int failed = 0;
    if (folder[0] != '\0' && ::chdir(folder) != 0) {
        failed = errno;
    } else {
        ::dup2(errorFd, STDERR_FILENO);
        if (progressFd >= 0) {
            ::fcntl(progressFd, F_SETFD, 0);
            ::execvpe(argv[0], argv, envp);
        } else {
            ::execvp(argv[0], argv);
        }
        failed = -errno; // negative: exec, positive: the folder
    }
    (void)!::write(startFd, &failed, sizeof failed);
    ::_exit(127);
}

// Empty when exec succeeded (the pipe closed without a word), else why it did not.
std::string StartFailure(int startFd, const std::string& folder) {
    int failed = 0;
    ssize_t n = 0;
    while ((n = ::read(startFd, &failed, sizeof failed)) < 0 && errno == EINTR) {
    }
    if (n != static_cast<ssize_t>(sizeof failed)) return {};
    if (failed > 0) return folder + ": " + std::strerror(failed);
    return std::strerror(-failed);
}

// Asks the group to end, then kills it when it does not within the grace time.
int EndGroup(pid_t pid, milliseconds grace) {
    ::kill(-pid, SIGTERM);
    ::kill(-pid, SIGCONT); // a stopped helper cannot act on SIGTERM
    int status = 0;
    const auto deadline = Clock::now() + grace;
    while (Clock::now() < deadline) {
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            ::kill(-pid, SIGKILL); // what it left running
            return status;
        }
        ::usleep(10000);
    }
    ::kill(-pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// Waits for the child itself, reading its standard error as it comes. Once the child has ended
// the rest of the pipe is read without waiting: a grandchild that still holds it open cannot
// keep the caller waiting.
int WaitFor(pid_t pid, int readFd, int progressFd, const ChildOptions& options,
            ChildResult& result) {
    const auto deadline =
        options.timeout ? Clock::now() + *options.timeout : Clock::time_point::max();
    bool pipeOpen = true;
    bool progressOpen = progressFd >= 0;
    std::string pendingProgress;
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
            if (pipeOpen) Drain(readFd, result.standardError);
            if (progressOpen) DrainProgress(progressFd, pendingProgress, options);
            ::kill(-pid, SIGKILL); // nothing the helper started runs on after it
            return status;
        }
        if (options.stop != nullptr && options.stop->load()) {
            result.stopped = true;
            return EndGroup(pid, options.graceBeforeKill);
        }
        if (Clock::now() >= deadline) {
            result.timedOut = true;
            return EndGroup(pid, options.graceBeforeKill);
        }
        pollfd watch[2] = {{readFd, POLLIN, 0}, {progressFd, POLLIN, 0}};
        if (!pipeOpen) watch[0].fd = -1; // poll leaves negative descriptors alone
        if (!progressOpen) watch[1].fd = -1;
        if (::poll(watch, 2, 20) <= 0) continue;
        if (pipeOpen && watch[0].revents != 0) pipeOpen = Drain(readFd, result.standardError);
        if (progressOpen && watch[1].revents != 0)
            progressOpen = DrainProgress(progressFd, pendingProgress, options);
    }
}

} // namespace

ChildResult RunChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                     const ChildOptions& options) {
    ChildResult result;
    Descriptor readEnd, writeEnd;
    result.startError = OpenPipe(readEnd, writeEnd);
    if (!result.startError.empty()) return result;

    // Everything the child needs is made before the fork, so that it only calls safe functions.
    std::vector<std::string> argvText{program.string()};
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : argvText)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string folderText = folder.string();
    const pid_t parent = ::getpid();

    Descriptor progressRead, progressWrite;
    std::vector<std::string> environmentText;
    std::vector<char*> envp;
    if (options.progress) {
        result.startError = OpenPipe(progressRead, progressWrite);
        if (!result.startError.empty()) return result;
        environmentText = EnvironmentWithProgress(progressWrite.fd);
        for (std::string& e : environmentText)
            envp.push_back(e.data());
        envp.push_back(nullptr);
    }

    int startFds[2];
    if (::pipe2(startFds, O_CLOEXEC) != 0) {
        result.startError = std::strerror(errno);
        return result;
    }
    Descriptor startRead, startWrite;
    startRead.fd = startFds[0];
    startWrite.fd = startFds[1];

    const pid_t pid = ::fork();
    if (pid < 0) {
        result.startError = std::strerror(errno);
        return result;
    }
    if (pid == 0) {
        StartInChild(folderText.c_str(), writeEnd.fd, startWrite.fd, parent, argv.data(),
                     progressWrite.fd, envp.data());
    }
    ::setpgid(pid, pid); // also here, so that the group exists before we may signal it
    writeEnd.reset();
    startWrite.reset();
    progressWrite.reset();
    result.startError = StartFailure(startRead.fd, folderText);
    if (!result.startError.empty()) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        return result;
    }
    result.started = true;
    const int status = WaitFor(pid, readEnd.fd, progressRead.fd, options, result);
    Finish(result.standardError);
    Interpret(status, result);
    return result;
}

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : self.parent_path();
}

} // namespace tovan::run
