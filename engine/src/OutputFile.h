// One output file of a run, written completely or not at all: the text goes to a hidden
// temporary file beside the target (".tovan-<process id>-<n>.part"), every write and the close
// are checked, and only a file written in full is renamed to its name. A failed or abandoned
// file is removed, so that no truncated file is ever left looking complete.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tovan::engine {

class OutputFile {
  public:
    // `what` names the file in messages: "report", "peak file", ...
    OutputFile(std::string name, std::string what);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void line(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void append(std::string_view text);
    // A line piece by piece, for the long tables: fixed(t, 10, 4) is printf's "%10.4f".
    void fixed(double value, int width, int decimals);
    void integer(long long value, int width);
    void endLine();

    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

    // Flushes and closes the temporary file; false with the reason on failure.
    bool close();
    // Gives the closed file its name.
    bool commit();
    // Removes what this run wrote: the temporary file, or the file once committed.
    void discard();

  private:
    void flush();
    void fail(const std::string& doing, int error);

    std::string name_, what_, temporary_;
    std::FILE* file_ = nullptr;
    std::string buffer_;
    std::string error_;
    bool committed_ = false;
};

} // namespace tovan::engine
