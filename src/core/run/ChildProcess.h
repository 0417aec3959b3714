// Starting a helper program and waiting for it: the only place where the run subsystem talks
// to the operating system's process calls. The POSIX version is ChildProcess.cpp; a Windows
// version would use CreateProcess with lpCurrentDirectory, a pipe for standard error, a job
// object that ends the helper with its parent, and GetExitCodeProcess (an exception code such
// as 0xC0000005 in place of a signal).
//
// Nothing here waits for ever: a run can be stopped at any time, a timeout ends it, waiting
// ends when the helper itself ends (not when the last holder of its standard error lets go),
// and the helper dies with the program that started it.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tovan::run {

struct ChildResult {
    bool started = false; // false: the program could not be started (see startError)
    std::string startError;
    bool exited = false; // ended through exit(): exitStatus is valid
    int exitStatus = 0;
    int signal = 0;            // ended by this signal (when !exited)
    std::string signalName;    // the system's description of the signal
    bool timedOut = false;     // ended by us because the timeout passed
    bool stopped = false;      // ended by us because the caller asked for it
    std::string standardError; // the last kKeptStandardError bytes of the child's standard error
};

// Only the end of a long standard error is kept: it holds the reason when there is one.
inline constexpr std::size_t kKeptStandardError = 64 * 1024;

struct ChildOptions {
    std::optional<std::chrono::milliseconds> timeout; // none: as long as it takes
    const std::atomic<bool>* stop = nullptr;          // set by another thread to stop the run
    // How long a child asked to end (SIGTERM) may take before it is killed.
    std::chrono::milliseconds graceBeforeKill{2000};
    // When set, the child finds a pipe's descriptor (on Windows, an inherited pipe handle's
    // value) in the environment variable kProgressVariable and may write lines to it; each complete
    // line (without its line feed) is passed here, on the waiting thread, as it comes.
    std::function<void(const std::string& line)> progress;
};

inline constexpr const char* kProgressVariable = "TOVAN_PROGRESS_FD";

// Runs `program` with `arguments` (not including the program itself) in `folder`, waits for it
// and collects its standard error. Standard input and output are the caller's. A timed-out or
// stopped child is ended with its whole process group.
ChildResult RunChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                     const ChildOptions& options = {});

// The folder of the running program, or empty when the system cannot tell.
std::filesystem::path ProgramFolder();

} // namespace tovan::run
