#include "fileio/DeckSource.h"

#include "platform/FilePath.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>
#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tovan {

namespace {

// No card is wider than 80 columns, and blanks after the last character do not count. A line
// is therefore kept up to this many characters; beyond that, blanks are dropped and a single
// non-blank character is kept, so that the line still reads as too long without ever holding
// a 100 MB line in memory.
constexpr std::size_t kKeptLineLength = 4096;

// Where the first line end of `text` is, or npos. Cards are short: the first bytes are
// searched with memchr, which scans many at a time, for a line feed and then for a carriage
// return before it; a longer line is scanned byte by byte, so that a file that ends its
// lines with carriage returns only is never searched to its end for a line feed.
std::size_t LineEnd(std::string_view text) {
    constexpr std::size_t kCardLineWindow = 256;
    const std::size_t window = std::min(text.size(), kCardLineWindow);
    const void* feed = std::memchr(text.data(), '\n', window);
    const std::size_t searched =
        feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - text.data()) : window;
    if (const void* ret = std::memchr(text.data(), '\r', searched))
        return static_cast<std::size_t>(static_cast<const char*>(ret) - text.data());
    if (feed) return searched;
    for (std::size_t i = window; i < text.size(); ++i) {
        if (text[i] == '\n' || text[i] == '\r') return i;
    }
    return std::string_view::npos;
}

// Splits a byte stream into lines at CR LF, LF or CR, scanning whole chunks at a time.
class LineSplitter : public DeckSource {
  public:
    std::optional<std::string> readLine() override {
        std::string line;
        if (!readLineInto(line)) return std::nullopt;
        return line;
    }

    bool readLineInto(std::string& line) override {
        if (atEnd()) return false;
        line.clear();
        bool overlong = false;
        for (;;) {
            const std::string_view chunk = available();
            if (chunk.empty()) break; // end of the file ends the last line
            const auto end = LineEnd(chunk);
            keep(line, chunk.substr(0, end), overlong);
            if (end == std::string_view::npos) {
                consume(chunk.size());
                continue;
            }
            consume(end + 1);
            if (chunk[end] == '\r' && startsWithLineFeed()) consume(1);
            break;
        }
        return true;
    }

    bool atEnd() override { return available().empty(); }

  protected:
    // The bytes not read yet, at least one unless the file has ended.
    virtual std::string_view available() = 0;
    virtual void consume(std::size_t count) = 0;

  private:
    bool startsWithLineFeed() {
        const std::string_view rest = available();
        return !rest.empty() && rest.front() == '\n';
    }

    static void keep(std::string& line, std::string_view part, bool& overlong) {
        const std::size_t room = kKeptLineLength - std::min(line.size(), kKeptLineLength);
        line.append(part.substr(0, room));
        if (overlong || part.size() <= room) return;
        const auto nonBlank = part.find_first_not_of(' ', room);
        if (nonBlank != std::string_view::npos) {
            line += part[nonBlank];
            overlong = true;
        }
    }
};

std::int64_t Tell(std::FILE* file) {
#if defined(_WIN32)
    return _ftelli64(file);
#else
    return ::ftello(file);
#endif
}

bool Seek(std::FILE* file, std::int64_t offset) {
#if defined(_WIN32)
    return _fseeki64(file, offset, SEEK_SET) == 0;
#else
    return ::fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

// Buffered reading with the C library: fast, and a read error simply ends the deck.
class FileDeck : public LineSplitter {
  public:
    FileDeck(std::FILE* file, std::size_t size) : file_(file), size_(size) {}
    ~FileDeck() override { std::fclose(file_); }
    FileDeck(const FileDeck&) = delete;
    FileDeck& operator=(const FileDeck&) = delete;

  protected:
    std::string_view available() override {
        if (position_ == filled_) {
            filled_ = std::fread(buffer_, 1, sizeof buffer_, file_);
            position_ = 0;
        }
        return {buffer_ + position_, filled_ - position_};
    }
    void consume(std::size_t count) override {
        position_ += count;
        consumed_ += count;
    }
    std::size_t bytesLeft() const override { return size_ - std::min(size_, consumed_); }
    std::size_t offset() const override { return consumed_; }

    // The stream is moved there and back: the next read continues where this reader stopped.
    std::optional<std::string_view> textFrom(std::size_t offset, std::string& bytes) override {
        if (offset > size_) return std::nullopt;
        bytes.assign(size_ - offset, '\0');
        const auto back = Tell(file_);
        if (back < 0 || !Seek(file_, static_cast<std::int64_t>(offset))) return std::nullopt;
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file_));
        const bool failed = std::ferror(file_) != 0;
        std::clearerr(file_);
        if (!Seek(file_, back) || failed) return std::nullopt;
        return std::string_view(bytes);
    }

  private:
    std::FILE* file_;
    std::size_t size_;
    std::size_t consumed_ = 0;
    char buffer_[1 << 16];
    std::size_t filled_ = 0;
    std::size_t position_ = 0;
};

// Text the caller keeps alive, read without a copy of it.
class TextViewDeck : public LineSplitter {
  public:
    explicit TextViewDeck(std::string_view text) : text_(text) {}

  protected:
    std::string_view available() override { return text_.substr(position_); }
    void consume(std::size_t count) override { position_ += count; }
    std::size_t bytesLeft() const override { return text_.size() - position_; }
    std::size_t offset() const override { return position_; }
    std::optional<std::string_view> textFrom(std::size_t offset, std::string&) override {
        if (offset > text_.size()) return std::nullopt;
        return text_.substr(offset);
    }

  private:
    std::string_view text_;
    std::size_t position_ = 0;
};

// The text is a base, so that it is there before the view of it is made.
struct OwnedText {
    std::string text;
};

class TextDeck : private OwnedText, public TextViewDeck {
  public:
    explicit TextDeck(std::string text)
        : OwnedText{std::move(text)}, TextViewDeck(OwnedText::text) {}
};

} // namespace

// Refused unless it is a regular file: /dev/zero or a pipe is no deck and would never end.
// On POSIX systems the file is opened without waiting (a pipe with no writer would block an
// ordinary open for ever) and its type is taken from the open file itself.
std::unique_ptr<DeckSource> OpenDeckFile(const std::string& path, std::string* error) {
    const auto fail = [error](std::string reason) -> std::unique_ptr<DeckSource> {
        if (error) *error = std::move(reason);
        return nullptr;
    };
#if defined(_WIN32)
    std::error_code ec;
    const auto status = std::filesystem::status(PathFromText(path), ec);
    if (std::filesystem::is_directory(status)) return fail("Is a folder, not a file");
    if (!ec && !std::filesystem::is_regular_file(status)) {
        return fail("Is a pipe, device or socket, not a file");
    }
    std::FILE* file = OpenCFile(path, "rb");
    if (file == nullptr) return fail(std::strerror(errno));
    const auto size = static_cast<std::size_t>(std::filesystem::file_size(PathFromText(path), ec));
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(std::strerror(errno));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const bool folder = S_ISDIR(status.st_mode);
        ::close(fd);
        return fail(folder ? "Is a folder, not a file" : "Is a pipe, device or socket, not a file");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        ::close(fd);
        return fail(std::strerror(errno));
    }
    const auto size = static_cast<std::size_t>(status.st_size);
#endif
    return std::make_unique<FileDeck>(file, size);
}

FileComparer::FileComparer(const std::string& path)
    : path_(path), file_(OpenCFile(path, "rb")), same_(file_ != nullptr) {}

FileComparer::~FileComparer() {
    if (file_) std::fclose(file_);
}

// Refills the buffer once it has all been compared; false at the end of the file or on an
// error, which ends the comparison too.
bool FileComparer::fill() {
    if (position_ < buffer_.size()) return true;
    constexpr std::size_t kChunk = 1 << 16;
    buffer_.resize(kChunk);
    buffer_.resize(std::fread(buffer_.data(), 1, kChunk, file_));
    position_ = 0;
    if (std::ferror(file_)) same_ = false;
    return same_ && !buffer_.empty();
}

bool FileComparer::compare(std::string_view piece) {
    std::size_t done = 0;
    while (same_ && done < piece.size()) {
        if (!fill()) {
            same_ = false;
            break;
        }
        const std::size_t n = std::min(piece.size() - done, buffer_.size() - position_);
        if (std::memcmp(piece.data() + done, buffer_.data() + position_, n) != 0) same_ = false;
        done += n;
        position_ += n;
    }
    if (same_) {
        matched_ += piece.size();
    } else if (file_) { // nothing of a failed piece is passed: the file stays where it matched
        std::fclose(file_);
        file_ = nullptr;
    }
    return same_;
}

bool FileComparer::atEnd() {
    if (!same_) return false;
    if (fill()) same_ = false; // bytes beyond the text
    return same_ && !std::ferror(file_);
}

std::string FileComparer::matchedBytes() const {
    std::string bytes(matched_, '\0');
    std::FILE* file = OpenCFile(path_, "rb");
    const std::size_t got = file ? std::fread(bytes.data(), 1, bytes.size(), file) : 0;
    if (file) std::fclose(file);
    bytes.resize(got);
    return bytes;
}

bool FileHoldsExactly(const std::string& path, std::string_view text) {
    FileComparer file(path);
    return file.compare(text) && file.atEnd();
}

std::unique_ptr<DeckSource> DeckFromText(std::string text) {
    return std::make_unique<TextDeck>(std::move(text));
}

std::unique_ptr<DeckSource> DeckFromTextView(std::string_view text) {
    return std::make_unique<TextViewDeck>(text);
}

} // namespace tovan
