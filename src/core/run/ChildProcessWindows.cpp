// The Windows twin of ChildProcess.cpp: CreateProcessW in the deck's folder, a pipe for the
// child's standard error read by a second thread while the first waits, and a job object so
// that the helper and anything it starts end when this program ends. A crash shows up as an
// exception code (0xC0000005 and the like) in place of a POSIX signal. Progress lines come
// through a second pipe whose inherited write handle the child finds, as a number, in
// kProgressVariable; the waiting thread reads them between its looks at the child.
#include "platform/FilePath.h"
#include "run/ChildProcess.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <thread>
#include <windows.h>

namespace tovan::run {

namespace {

// What is kept of the child's standard error: the end, where the reason for a failure is.
constexpr std::size_t kKeptErrorBytes = 64 * 1024;
// The exit code given to a helper that is stopped for overrunning its time.
constexpr DWORD kStoppedExitCode = 0xC000013A; // STATUS_CONTROL_C_EXIT

class Handle {
  public:
    explicit Handle(HANDLE h = nullptr) : h_(h) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    HANDLE* out() { return &h_; }
    void reset() {
        if (h_ != nullptr && h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
        h_ = nullptr;
    }

  private:
    HANDLE h_;
};

std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length > 0 ? Utf8FromWide(std::wstring_view(text, length))
                                     : "system error " + std::to_string(error);
    if (text != nullptr) ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message;
}

// One argument quoted so that the C runtime's command-line parser of the child gives it back
// unchanged: backslashes count only in front of a quotation mark.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        const std::size_t doubled = c == L'"' ? 2 * backslashes + 1 : backslashes;
        line.append(doubled, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

std::wstring CommandLine(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments) {
    std::wstring line;
    AppendQuoted(line, program.native());
    for (const std::string& argument : arguments) {
        line += L' ';
        AppendQuoted(line, WideFromUtf8(argument));
    }
    return line;
}

void ReadKeepingTheEnd(HANDLE pipe, std::string& text) {
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) {
        text.append(buffer, n);
        if (text.size() > 2 * kKeptErrorBytes) text.erase(0, text.size() - kKeptErrorBytes);
    }
    if (text.size() > kKeptErrorBytes) text.erase(0, text.size() - kKeptErrorBytes);
}

std::string ExceptionName(DWORD code) {
    switch (code) {
    case 0xC0000005:
        return "access violation";
    case 0xC000001D:
        return "illegal instruction";
    case 0xC0000094:
        return "integer division by zero";
    case 0xC00000FD:
        return "stack overflow";
    case 0xC0000409:
        return "stack buffer overrun";
    case kStoppedExitCode:
        return "stopped";
    default:
        break;
    }
    char text[32];
    std::snprintf(text, sizeof text, "exception 0x%08lX", static_cast<unsigned long>(code));
    return text;
}

// Exit codes with the error severity bits set are exceptions the process did not survive.
void Interpret(DWORD code, ChildResult& result) {
    if ((code & 0xC0000000U) == 0xC0000000U) {
        result.signal = static_cast<int>(code);
        result.signalName = ExceptionName(code);
        return;
    }
    result.exited = true;
    result.exitStatus = static_cast<int>(code);
}

// Reads what the progress pipe holds without waiting for more and passes on each complete line.
void DrainProgress(HANDLE pipe, std::string& pending, const ChildOptions& options) {
    if (pipe == nullptr) return;
    char buffer[4096];
    DWORD available = 0, n = 0;
    while (::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ::ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &n, nullptr) &&
           n > 0)
        pending.append(buffer, n);
    std::size_t from = 0;
    for (std::size_t lineEnd = pending.find('\n'); lineEnd != std::string::npos;
         from = lineEnd + 1, lineEnd = pending.find('\n', from))
        options.progress(pending.substr(from, lineEnd - from));
    pending.erase(0, from);
    if (pending.size() > kKeptStandardError) pending.clear(); // a line that never ends
}

// The child's environment block: ours, with the progress variable holding the handle's value.
std::wstring EnvironmentWithProgress(HANDLE handle) {
    const std::wstring prefix = WideFromUtf8(std::string(kProgressVariable) + "=");
    std::wstring block;
    if (wchar_t* own = ::GetEnvironmentStringsW()) {
        for (const wchar_t* entry = own; *entry != L'\0'; entry += std::wcslen(entry) + 1)
            if (std::wcsncmp(entry, prefix.c_str(), prefix.size()) != 0)
                block.append(entry).push_back(L'\0');
        ::FreeEnvironmentStringsW(own);
    }
    block += prefix + std::to_wstring(reinterpret_cast<std::uintptr_t>(handle));
    block.push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

// A job that kills its processes when its last handle closes: ours, at the latest when this
// program ends, so that no helper outlives the program that started it.
HANDLE NewKillOnCloseJob() {
    HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

// Runs the child and waits at most `limit` milliseconds (INFINITE for no bound); a child still
// running then is killed with everything it started.
// Waits for the helper, ending it (and all it started) at the timeout or when asked to stop.
// Windows has no polite request to end that a console helper would see, so it is terminated.
// Progress lines are passed on as they come, and what the child wrote before it ended too.
void WaitFor(HANDLE process, HANDLE job, HANDLE progress, const ChildOptions& options,
             ChildResult& result) {
    using Clock = std::chrono::steady_clock;
    const auto deadline =
        options.timeout ? Clock::now() + *options.timeout : Clock::time_point::max();
    std::string pending;
    while (::WaitForSingleObject(process, 20) == WAIT_TIMEOUT) {
        DrainProgress(progress, pending, options);
        const bool stop = options.stop != nullptr && options.stop->load();
        if (!stop && Clock::now() < deadline) continue;
        (stop ? result.stopped : result.timedOut) = true;
        if (job != nullptr) ::TerminateJobObject(job, kStoppedExitCode);
        ::TerminateProcess(process, kStoppedExitCode);
        ::WaitForSingleObject(process, INFINITE);
        return;
    }
    DrainProgress(progress, pending, options);
}

ChildResult RunWithin(const std::filesystem::path& program,
                      const std::vector<std::string>& arguments,
                      const std::filesystem::path& folder, const ChildOptions& options) {
    ChildResult result;
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.out(), writeEnd.out(), &inheritable, 0)) {
        result.startError = SystemMessage(::GetLastError());
        return result;
    }
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    Handle progressRead, progressWrite;
    std::wstring environment;
    if (options.progress) {
        if (!::CreatePipe(progressRead.out(), progressWrite.out(), &inheritable, 0)) {
            result.startError = SystemMessage(::GetLastError());
            return result;
        }
        ::SetHandleInformation(progressRead.get(), HANDLE_FLAG_INHERIT, 0);
        environment = EnvironmentWithProgress(progressWrite.get());
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = writeEnd.get();
    PROCESS_INFORMATION process{};
    std::wstring line = CommandLine(program, arguments);
    const std::wstring workingFolder = folder.native();
    Handle job(NewKillOnCloseJob());
    // The child inherits the error mode: a crashing engine must end the helper, not leave it
    // waiting behind a crash dialog that nobody will see.
    const UINT previousMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    // Suspended until it is in the job, so that nothing it starts escapes the job.
    // A system short of resources for a moment (and Wine under load, with "Internal error")
    // fails a start that succeeds a little later: such a start is tried three times.
    BOOL created = FALSE;
    DWORD createError = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100 * attempt));
        created = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                                   CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT,
                                   environment.empty() ? nullptr : environment.data(),
                                   workingFolder.empty() ? nullptr : workingFolder.c_str(),
                                   &startup, &process);
        createError = ::GetLastError();
        const bool passing = createError == ERROR_INTERNAL_ERROR ||
                             createError == ERROR_NOT_ENOUGH_MEMORY ||
                             createError == ERROR_NO_SYSTEM_RESOURCES;
        if (created || !passing) break;
    }
    ::SetErrorMode(previousMode);
    if (!created) {
        result.startError = SystemMessage(createError);
        return result;
    }
    Handle processHandle(process.hProcess), thread(process.hThread);
    if (job.get() != nullptr) ::AssignProcessToJobObject(job.get(), process.hProcess);
    ::ResumeThread(process.hThread);
    result.started = true;
    writeEnd.reset();
    progressWrite.reset(); // the child's copy is the only writer left

    std::thread reader(ReadKeepingTheEnd, readEnd.get(), std::ref(result.standardError));
    WaitFor(process.hProcess, job.get(), progressRead.get(), options, result);
    // Whatever the helper left running goes with it, so that nothing holds the pipe open.
    if (job.get() != nullptr) ::TerminateJobObject(job.get(), kStoppedExitCode);
    reader.join();
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    Interpret(code, result);
    return result;
}

} // namespace

ChildResult RunChild(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments, const std::filesystem::path& folder,
                     const ChildOptions& options) {
    return RunWithin(program, arguments, folder, options);
}

std::filesystem::path ProgramFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}

} // namespace tovan::run
