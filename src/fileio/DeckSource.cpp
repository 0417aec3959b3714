#include "fileio/DeckSource.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace tovan {

namespace {

// No card is wider than 80 columns, and blanks after the last character do not count. A line
// is therefore kept up to this many characters; beyond that, blanks are dropped and a single
// non-blank character is kept, so that the line still reads as too long without ever holding
// a 100 MB line in memory.
constexpr std::size_t kKeptLineLength = 4096;

// Splits a byte stream into lines at CR LF, LF or CR.
class LineSplitter : public DeckSource {
  public:
    std::optional<std::string> readLine() override {
        if (atEnd()) return std::nullopt;
        std::string line;
        bool overlong = false;
        for (;;) {
            const int c = get();
            if (c == kEnd || c == '\n') break;
            if (c == '\r') {
                if (peek() == '\n') get();
                break;
            }
            keep(line, static_cast<char>(c), overlong);
        }
        return line;
    }

    bool atEnd() override { return peek() == kEnd; }

  protected:
    static constexpr int kEnd = -1;
    virtual int get() = 0;
    virtual int peek() = 0;

  private:
    static void keep(std::string& line, char c, bool& overlong) {
        if (line.size() < kKeptLineLength) {
            line += c;
        } else if (!overlong && c != ' ') {
            line += c;
            overlong = true;
        }
    }
};

// Buffered reading with the C library: fast, and a read error simply ends the deck.
class FileDeck : public LineSplitter {
  public:
    explicit FileDeck(std::FILE* file) : file_(file) {}
    ~FileDeck() override { std::fclose(file_); }
    FileDeck(const FileDeck&) = delete;
    FileDeck& operator=(const FileDeck&) = delete;

  protected:
    int get() override {
        const int c = peek();
        if (c != kEnd) ++position_;
        return c;
    }
    int peek() override {
        if (position_ == filled_) {
            filled_ = std::fread(buffer_, 1, sizeof buffer_, file_);
            position_ = 0;
            if (filled_ == 0) return kEnd;
        }
        return static_cast<unsigned char>(buffer_[position_]);
    }

  private:
    std::FILE* file_;
    char buffer_[1 << 16];
    std::size_t filled_ = 0;
    std::size_t position_ = 0;
};

class TextDeck : public LineSplitter {
  public:
    explicit TextDeck(std::string text) : text_(std::move(text)) {}

  protected:
    int get() override {
        return position_ < text_.size() ? static_cast<unsigned char>(text_[position_++]) : kEnd;
    }
    int peek() override {
        return position_ < text_.size() ? static_cast<unsigned char>(text_[position_]) : kEnd;
    }

  private:
    std::string text_;
    std::size_t position_ = 0;
};

} // namespace

std::unique_ptr<DeckSource> OpenDeckFile(const std::string& path, std::string* error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        if (error) *error = "Is a folder, not a file";
        return nullptr;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        if (error) *error = std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<FileDeck>(file);
}

std::unique_ptr<DeckSource> DeckFromText(std::string text) {
    return std::make_unique<TextDeck>(std::move(text));
}

} // namespace tovan
