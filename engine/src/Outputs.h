// The engine's three output files: the report for a person to read, the storm hydrographs for
// the routing model DRELM, and one peak-flow line per catchment and storm. Their layouts are
// described in docs/engine.md.
#pragma once

#include "Engine.h"

#include <cstdio>
#include <string>

namespace tovan::engine {

// A buffered text file written with printf-style lines.
class TextFile {
  public:
    explicit TextFile(const std::string& name);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    void line(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void flush();

  private:
    std::FILE* file_ = nullptr;
    std::string buffer_;
};

class Outputs {
  public:
    Outputs(const std::string& report, const std::string& drelm, const std::string& peak);

    void header(const std::string& input, const EngineDeck& deck);
    void catchment(const CatchmentResult& result);
    void finish();

  private:
    void parameters(const CatchmentResult& r);
    void losses(const CatchmentResult& r);
    void unitHydrograph(const UnitHydrograph& uh);
    void storm(const CatchmentResult& r, const StormResult& s);
    void factors(const StormResult& s);
    void hyetograph(const StormResult& s);
    void excessTable(const StormResult& s);
    void stormHydrograph(const StormResult& s);
    void summary(const CatchmentResult& r, const StormResult& s);
    void machineFiles(const CatchmentResult& r, const StormResult& s);

    TextFile report_;
    TextFile drelm_;
    TextFile peak_;
};

} // namespace tovan::engine
