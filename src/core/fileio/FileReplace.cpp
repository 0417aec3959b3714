// POSIX implementation (Linux first: O_TMPFILE and linkat; other systems take the named
// temporary file). A Windows build would supply the same steps with _wopen, _write, _commit and
// MoveFileExW with MOVEFILE_REPLACE_EXISTING and MOVEFILE_WRITE_THROUGH.
#include "fileio/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tovan {

namespace fs = std::filesystem;

namespace {

void (*gDiskStepWatcher)(DiskStep) = nullptr;

void Reached(DiskStep step) {
    if (gDiskStepWatcher != nullptr) gDiskStepWatcher(step);
}

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

fs::path FolderOf(const fs::path& file) {
    return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// The file a path names once its symbolic links are followed; it need not exist (a link to a
// deck not saved yet). Fails with ELOOP on a loop, like open would.
int FollowLinks(const std::string& path, fs::path& target) {
    constexpr int kMostLinks = 40;
    target = path;
    for (int hops = 0; hops < kMostLinks; ++hops) {
        struct stat status {};
        if (::lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return 0;
        std::error_code error;
        const fs::path next = fs::read_symlink(target, error);
        if (error) return error.value();
        target = next.is_absolute() ? next : FolderOf(target) / next;
    }
    return ELOOP;
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

// Puts the written content on the disk before anything makes it the file.
int FlushContent(int fd) {
    if (::fsync(fd) != 0) return LastError();
    Reached(DiskStep::ContentFlushed);
    return 0;
}

// Makes a rename durable. The new file is already in place, so a failure here is not
// reported: the save has happened.
void FlushFolder(const fs::path& file) {
    FileHandle handle(::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.fd() >= 0) ::fsync(handle.fd());
}

bool MayWrite(const fs::path& path, int mode) {
    return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

// Gives the temporary file the old file's mode, owner and group; false when the owner or group
// cannot be given back (only root may give a file away).
bool TakeOver(int fd, const struct stat& old) {
    if (::fchmod(fd, old.st_mode & 07777) != 0) return false;
    if (old.st_uid == ::geteuid() && old.st_gid == ::getegid()) return true;
    return ::fchown(fd, old.st_uid, old.st_gid) == 0;
}

// A name no other save uses at the same time: hidden, beside the target, process and sequence
// numbered, and short whatever the deck's name, so that every name the file system takes for a
// deck can be saved. It exists only from the moment the complete content is given it until the
// rename an instant later; nothing but this save ever removes such a file, since a file of this
// name in the user's folder may be anyone's.
fs::path TemporaryName(const fs::path& target, unsigned attempt) {
    static std::atomic<unsigned> sequence{0};
    const std::string name = ".tovan-" + std::to_string(::getpid()) + "-" +
                             std::to_string(sequence++) + "-" + std::to_string(attempt) + ".tmp";
    return FolderOf(target) / name;
}

// An unnamed file in the target's folder: it has no name until it is complete, so a process
// killed while writing leaves nothing behind. -1 where the file system cannot do it.
int OpenUnnamedBeside(const fs::path& target) {
#ifdef O_TMPFILE
    return ::open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    (void)target;
    errno = EOPNOTSUPP;
    return -1;
#endif
}

// Gives the complete unnamed file a temporary name; the rename that follows is atomic.
int LinkUnnamed(int fd, const fs::path& target, fs::path& temporary) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryName(target, attempt);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        if (errno != EEXIST) return LastError();
    }
    return EEXIST;
}

int CreateNamedBeside(const fs::path& target, fs::path& temporary) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryName(target, attempt);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

enum class Replaced { Done, InPlaceInstead };

// The atomic replace. Returns InPlaceInstead, having touched nothing, when the old file's
// owner or group cannot be kept by a new file.
Replaced ReplaceByRename(const fs::path& target, const struct stat* old, std::string_view bytes,
                         int& error) {
    errno = 0;
    fs::path temporary;
    int fd = OpenUnnamedBeside(target);
    const bool unnamed = fd >= 0;
    if (!unnamed) fd = CreateNamedBeside(target, temporary);
    FileHandle handle(fd);
    if (handle.fd() < 0) {
        error = LastError();
        return Replaced::Done;
    }
    if (old != nullptr && !TakeOver(handle.fd(), *old)) {
        if (!unnamed) ::unlink(temporary.c_str());
        return Replaced::InPlaceInstead;
    }
    error = WriteAll(handle.fd(), bytes);
    if (error == 0) error = FlushContent(handle.fd());
    if (error == 0 && unnamed) error = LinkUnnamed(handle.fd(), target, temporary);
    const int closeError = handle.close();
    if (error == 0) error = closeError;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = LastError();
    if (error == 0) Reached(DiskStep::Renamed);
    if (error != 0) {
        if (!temporary.empty()) ::unlink(temporary.c_str());
        return Replaced::Done;
    }
    FlushFolder(target);
    return Replaced::Done;
}

// The whole content of an open file, to put back should writing over it break off.
std::optional<std::string> ContentOf(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return std::nullopt;
    std::string content(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t got =
            ::pread(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return std::nullopt;
        done += static_cast<std::size_t>(got);
    }
    return content;
}

// Writes `bytes` over the file from its start and cuts it to their length.
int Overwrite(int fd, std::string_view bytes) {
    if (::lseek(fd, 0, SEEK_SET) != 0) return LastError();
    int error = WriteAll(fd, bytes);
    if (error == 0 && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) error = LastError();
    return error;
}

// Writing over the old content, for files that a rename would change in a way the user would
// notice (another hard link, another owner) or that sit in a folder the user may not write.
// The disk space for the whole new content is taken before a byte of the old one is touched,
// so a full disk refuses the save with the old deck intact; should the write still break off
// (a file system that cannot reserve space, or one that copies on write), the old content is
// written back, and only when even that fails is the deck left damaged, and said to be.
int WriteInPlace(const fs::path& target, std::string_view bytes) {
    errno = 0;
    FileHandle handle(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (handle.fd() < 0) return LastError();
    const std::optional<std::string> old = ContentOf(handle.fd());
    if (!old) return LastError();
    if (bytes.size() > old->size()) {
        const int reserved = ::posix_fallocate(handle.fd(), 0, static_cast<off_t>(bytes.size()));
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
            (void)::ftruncate(handle.fd(), static_cast<off_t>(old->size())); // the reserve's tail
            return reserved;
        }
    }
    int error = Overwrite(handle.fd(), bytes);
    if (error == 0) error = FlushContent(handle.fd());
    if (error != 0) {
        if (Overwrite(handle.fd(), *old) != 0 || ::fsync(handle.fd()) != 0) return kLeftDamaged;
        return error;
    }
    return handle.close();
}

} // namespace

void WatchDiskSteps(void (*watcher)(DiskStep)) {
    gDiskStepWatcher = watcher;
}

int ReplaceFileContents(const std::string& path, std::string_view bytes) {
    fs::path target;
    if (const int error = FollowLinks(path, target); error != 0) return error;
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) {
        if (errno != ENOENT) return LastError();
        int error = 0;
        ReplaceByRename(target, nullptr, bytes, error);
        return error;
    }
    if (!S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? EISDIR : kNotARegularFile;
    if (!MayWrite(target, W_OK)) return EACCES;
    const bool keepsNames = old.st_nlink == 1 && MayWrite(FolderOf(target), W_OK | X_OK);
    if (keepsNames) {
        int error = 0;
        if (ReplaceByRename(target, &old, bytes, error) == Replaced::Done) return error;
    }
    return WriteInPlace(target, bytes);
}

} // namespace tovan
