// A deck file read line by line. Lines end with CR LF, LF alone or CR alone; the bytes are
// kept as they are (single-byte Latin-1 text).
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace tovan {

class DeckSource {
  public:
    virtual ~DeckSource() = default;
    // The next line without its terminator, or nothing at the end of the file.
    virtual std::optional<std::string> readLine() = 0;
    virtual bool atEnd() = 0;
};

// Opens a file for reading; nothing when it cannot be opened (the reason in `error`).
std::unique_ptr<DeckSource> OpenDeckFile(const std::string& path, std::string* error = nullptr);

// A deck held in memory (tests, the fuzzer).
std::unique_ptr<DeckSource> DeckFromText(std::string text);

} // namespace tovan
