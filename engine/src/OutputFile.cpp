#include "OutputFile.h"

#include "FixedFormat.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <filesystem>

#if defined(_WIN32)
#include <process.h>
#define TOVAN_GETPID _getpid
#else
#include <unistd.h>
#define TOVAN_GETPID getpid
#endif

namespace tovan::engine {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFlushSize = 1 << 20;

// A short name in the target's folder: a long target name must not make the temporary name
// too long, and the process id lets whoever ran a killed engine find what it left.
std::string TemporaryNameFor(const std::string& name) {
    static std::atomic<int> counter{0};
    const fs::path folder = fs::path(name).parent_path();
    const std::string leaf =
        ".tovan-" + std::to_string(TOVAN_GETPID()) + "-" + std::to_string(counter++) + ".part";
    return (folder / leaf).string();
}

} // namespace

OutputFile::OutputFile(std::string name, std::string what)
    : name_(std::move(name)), what_(std::move(what)) {
    if (name_.empty()) {
        error_ = "The " + what_ + " has no name.";
        return;
    }
    temporary_ = TemporaryNameFor(name_);
    errno = 0;
    file_ = std::fopen(temporary_.c_str(), "wbx");
    if (file_ == nullptr) fail("created", errno);
}

OutputFile::~OutputFile() {
    if (!committed_) discard();
}

void OutputFile::fail(const std::string& doing, int error) {
    if (failed()) return;
    error_ = "The " + what_ + " " + name_ + " could not be " + doing + ": " +
             (error != 0 ? std::strerror(error) : "unknown error") + ".";
}

void OutputFile::line(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n > 0)
        buffer_.append(text, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof text - 1));
    buffer_ += "\r\n"; // the deck's own line ends, so that the files read the same everywhere
    if (buffer_.size() >= kFlushSize) flush();
}

void OutputFile::append(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kFlushSize) flush();
}

void OutputFile::fixed(double value, int width, int decimals) {
    AppendFixed(buffer_, value, decimals, width);
}

void OutputFile::integer(long long value, int width) {
    AppendInteger(buffer_, value, width);
}

void OutputFile::endLine() {
    buffer_ += "\r\n";
    if (buffer_.size() >= kFlushSize) flush();
}

void OutputFile::flush() {
    if (file_ == nullptr || failed() || buffer_.empty()) {
        buffer_.clear();
        return;
    }
    errno = 0;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        fail("written", errno);
    buffer_.clear();
}

bool OutputFile::close() {
    flush();
    if (file_ != nullptr) {
        errno = 0;
        if (std::fflush(file_) != 0) fail("written", errno);
        errno = 0;
        if (std::fclose(file_) != 0) fail("written", errno);
        file_ = nullptr;
    }
    return !failed();
}

bool OutputFile::commit() {
    if (!close()) return false;
    std::error_code ec;
    fs::rename(temporary_, name_, ec);
    if (ec) {
        fail("written", ec.value());
        return false;
    }
    committed_ = true;
    return true;
}

void OutputFile::discard() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    std::error_code ec;
    if (committed_) {
        fs::remove(name_, ec);
        committed_ = false;
    } else if (!temporary_.empty()) {
        fs::remove(temporary_, ec);
    }
    temporary_.clear();
}

} // namespace tovan::engine
