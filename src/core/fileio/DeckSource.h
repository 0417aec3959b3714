// A deck file read line by line. Lines end with CR LF, LF alone or CR alone; the bytes are
// kept as they are (single-byte Latin-1 text).
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tovan {

class DeckSource {
  public:
    virtual ~DeckSource() = default;
    // The next line without its terminator, or nothing at the end of the file.
    virtual std::optional<std::string> readLine() = 0;
    // The same into `line`, whose buffer is reused; false at the end of the file.
    virtual bool readLineInto(std::string& line) {
        auto next = readLine();
        if (next) line = std::move(*next);
        return next.has_value();
    }
    virtual bool atEnd() = 0;
    // About how many bytes are left to read, or 0 when that is not known: a hint for the room
    // a reader makes ahead.
    virtual std::size_t bytesLeft() const { return 0; }
    // Where the next line starts, in bytes from the start of the deck, and the bytes from
    // `offset` to the end, without moving this reader: for a reader that reads ahead on another
    // thread. Text in memory is given as it is; a file's bytes are read into `keep`, which the
    // view then shows. Nothing when this source cannot tell.
    virtual std::size_t offset() const { return 0; }
    virtual std::optional<std::string_view> textFrom(std::size_t /*offset*/,
                                                     std::string& /*keep*/) {
        return std::nullopt;
    }
};

// Opens a file for reading; nothing when it cannot be opened (the reason in `error`).
std::unique_ptr<DeckSource> OpenDeckFile(const std::string& path, std::string* error = nullptr);

// Compares a text given piece by piece with the bytes of a file, holding neither whole: a
// million-catchment deck is a quarter of a gigabyte.
class FileComparer {
  public:
    explicit FileComparer(const std::string& path);
    ~FileComparer();
    FileComparer(const FileComparer&) = delete;
    FileComparer& operator=(const FileComparer&) = delete;

    // Whether every piece so far matched the file; false as well when it cannot be read.
    bool same() const { return same_; }
    // Compares the next piece: true when it matches the file's next bytes, which it then
    // passes; otherwise nothing is passed and the comparison stays failed.
    bool compare(std::string_view piece);
    // Whether the file has ended where the pieces have: the text was the whole file.
    bool atEnd();
    // The file's bytes that the pieces matched, read again.
    std::string matchedBytes() const;

  private:
    bool fill();

    std::string path_;
    std::FILE* file_ = nullptr;
    bool same_ = false;
    std::size_t matched_ = 0;
    std::string buffer_;
    std::size_t position_ = 0;
};

// Whether the file at `path` holds exactly `text`, byte for byte; false when it cannot be read.
bool FileHoldsExactly(const std::string& path, std::string_view text);

// A deck held in memory (tests, the fuzzer).
std::unique_ptr<DeckSource> DeckFromText(std::string text);
// A deck read from text that the caller keeps alive, without a copy of it.
std::unique_ptr<DeckSource> DeckFromTextView(std::string_view text);

} // namespace tovan
