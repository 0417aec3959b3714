// Starting a helper program and waiting for it: the only place where the run subsystem talks
// to the operating system's process calls. The POSIX version is ChildProcess.cpp; a Windows
// version would use CreateProcess with lpCurrentDirectory, a pipe for standard error and
// GetExitCodeProcess (an exception code such as 0xC0000005 in place of a signal).
#pragma once

#include <filesystem>
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
    std::string standardError; // everything the child wrote to its standard error
};

// Runs `program` with `arguments` (not including the program itself) in `folder`, waits for it
// and collects its standard error. Standard input and output are the caller's.
ChildResult RunChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments,
                     const std::filesystem::path& folder);

// The folder of the running program, or empty when the system cannot tell.
std::filesystem::path ProgramFolder();

} // namespace tovan::run
