// The Windows twin of FileReplace.cpp: the same temporary file beside the target, written and
// flushed, then moved over the target in one step with MoveFileExW. Names go to the wide API,
// so a folder or deck name with letters outside the user's code page works. The bytes are
// written as given: the CR LF line ends of a deck are the same as on every other system.
#include "fileio/FileReplace.h"
#include "platform/FilePath.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <windows.h>

namespace tovan {

namespace fs = std::filesystem;

namespace {

// The errno value closest to a Windows error, as the callers know errno values only.
int ErrnoFrom(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DIRECTORY:
        return EISDIR;
    default:
        return EIO;
    }
}

int LastError() {
    return ErrnoFrom(::GetLastError());
}

class FileHandle {
  public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (valid()) ::CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    int close() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(h) ? 0 : LastError();
    }

  private:
    HANDLE h_;
};

// A name no other save uses at the same time: beside the target, process and sequence
// numbered, hidden like its POSIX counterpart, and short whatever the deck's name.
fs::path TemporaryName(const fs::path& target, unsigned attempt) {
    static std::atomic<unsigned> sequence{0};
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(L".");
    const std::wstring name = L".tovan-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(sequence++) + L"-" + std::to_wstring(attempt) +
                              L".tmp";
    return folder / name;
}

HANDLE CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
    constexpr unsigned kAttempts = 100;
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
        temporary = TemporaryName(target, attempt);
        const HANDLE h = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (h != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

int WriteAll(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr)) return LastError();
        if (written == 0) return EIO;
        bytes.remove_prefix(written);
    }
    return 0;
}

void (*gDiskStepWatcher)(DiskStep) = nullptr;

void Reached(DiskStep step) {
    if (gDiskStepWatcher != nullptr) gDiskStepWatcher(step);
}

int WriteFlushAndClose(FileHandle& handle, std::string_view bytes) {
    int error = WriteAll(handle.get(), bytes);
    if (error == 0 && !::FlushFileBuffers(handle.get())) error = LastError();
    if (error == 0) Reached(DiskStep::ContentFlushed);
    const int closeError = handle.close();
    return error != 0 ? error : closeError;
}

// The replaced file keeps its attributes (read-only aside, which would stop the next save).
void KeepAttributes(const fs::path& target, const fs::path& temporary) {
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
        return;
    }
    ::SetFileAttributesW(temporary.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

} // namespace

void WatchDiskSteps(void (*watcher)(DiskStep)) {
    gDiskStepWatcher = watcher;
}

int ReplaceFileContents(const std::string& path, std::string_view bytes) {
    std::error_code error;
    fs::path target = PathFromText(path);
    if (fs::is_symlink(target, error)) {
        const fs::path resolved = fs::canonical(target, error);
        if (!error) target = resolved;
    }
    if (fs::is_directory(target, error)) return EISDIR;
    fs::path temporary;
    FileHandle handle(CreateTemporaryBeside(target, temporary));
    if (!handle.valid()) return LastError();
    int failure = WriteFlushAndClose(handle, bytes);
    if (failure == 0) {
        KeepAttributes(target, temporary);
        if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            failure = LastError();
        } else {
            Reached(DiskStep::Renamed);
        }
    }
    if (failure != 0) ::DeleteFileW(temporary.c_str());
    return failure;
}

} // namespace tovan
