#include "run/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace tovan::run {

namespace {

// Closes a descriptor once, whichever way the scope is left.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    void reset() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            return text;
        }
    }
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

int WaitFor(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

} // namespace

ChildResult RunChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments,
                     const std::filesystem::path& folder) {
    ChildResult result;
    Descriptor readEnd, writeEnd;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        result.startError = std::strerror(errno);
        return result;
    }
    readEnd.fd = fds[0];
    writeEnd.fd = fds[1];

    std::vector<std::string> argvText{program.string()};
    argvText.insert(argvText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : argvText)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    // The child starts in the deck's folder: the working folder is inherited, so the caller
    // switches to it around the spawn (posix_spawn has no portable "chdir" action).
    std::error_code ec;
    const std::filesystem::path previous = std::filesystem::current_path(ec);
    if (!folder.empty()) std::filesystem::current_path(folder, ec);
    if (ec) {
        result.startError = folder.string() + ": " + ec.message();
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.fd, STDERR_FILENO);
    pid_t pid = 0;
    const int spawnError = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    std::filesystem::current_path(previous, ec);
    if (spawnError != 0) {
        result.startError = std::strerror(spawnError);
        return result;
    }
    result.started = true;
    writeEnd.reset();
    result.standardError = ReadAll(readEnd.fd);
    Interpret(WaitFor(pid), result);
    return result;
}

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : self.parent_path();
}

} // namespace tovan::run
