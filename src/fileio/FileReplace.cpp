// POSIX implementation. The few system calls sit in small wrappers below (create, write, flush
// to disk, close, rename over); a Windows build would supply the same wrappers with _wopen,
// _write, _commit (or FlushFileBuffers), _close and MoveFileExW with MOVEFILE_REPLACE_EXISTING
// and MOVEFILE_WRITE_THROUGH.
#include "fileio/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace tovan {

namespace fs = std::filesystem;

namespace {

// errno after a failed call; a failure that did not set it still has to read as a failure.
int LastError() {
    return errno != 0 ? errno : EIO;
}

class FileHandle {
  public:
    explicit FileHandle(int fd = -1) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int fd() const { return fd_; }
    // Closes now, so that an error reported by close (a late write error on some file systems)
    // is not lost.
    int close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : LastError();
    }

  private:
    int fd_;
};

// The file that is really replaced: the target of a symbolic link, or the path itself.
fs::path FileToReplace(const std::string& path) {
    std::error_code error;
    if (fs::is_symlink(path, error)) {
        const fs::path target = fs::canonical(path, error);
        if (!error) return target;
    }
    return fs::path(path);
}

// A name no other save uses at the same time: hidden, beside the target, process and sequence
// numbered.
fs::path TemporaryName(const fs::path& target, unsigned attempt) {
    static std::atomic<unsigned> sequence{0};
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = "." + target.filename().string() + "." + std::to_string(::getpid()) +
                             "." + std::to_string(sequence++) + "-" + std::to_string(attempt) +
                             ".tmp";
    return folder / name;
}

// The descriptor of a new, empty temporary file beside `target`; -1 with errno set on failure.
int CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
    constexpr unsigned kAttempts = 100;
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
        temporary = TemporaryName(target, attempt);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void KeepPermissions(const fs::path& target, int fd) {
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
        ::fchmod(fd, status.st_mode & 07777);
    }
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return written < 0 ? LastError() : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int FlushToDisk(int fd) {
    return ::fsync(fd) == 0 ? 0 : LastError();
}

int RenameOver(const fs::path& from, const fs::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : LastError();
}

// Makes the rename itself durable. The new file is already in place, so a failure here is
// not reported: the save has happened.
void FlushFolder(const fs::path& file) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    FileHandle handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.fd() >= 0) ::fsync(handle.fd());
}

int WriteFlushAndClose(FileHandle& handle, std::string_view bytes) {
    int error = WriteAll(handle.fd(), bytes);
    if (error == 0) error = FlushToDisk(handle.fd());
    const int closeError = handle.close();
    return error != 0 ? error : closeError;
}

} // namespace

int ReplaceFileContents(const std::string& path, std::string_view bytes) {
    const fs::path target = FileToReplace(path);
    fs::path temporary;
    errno = 0;
    FileHandle handle(CreateTemporaryBeside(target, temporary));
    if (handle.fd() < 0) return LastError();
    KeepPermissions(target, handle.fd());
    int error = WriteFlushAndClose(handle, bytes);
    if (error == 0) error = RenameOver(temporary, target);
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    FlushFolder(target);
    return 0;
}

} // namespace tovan
