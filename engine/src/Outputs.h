// The engine's output files: the report for a person to read, the storm hydrographs for the
// routing model DRELM, one peak-flow line per catchment and storm, and, when asked for, the
// results file for programs. Their layouts are described in docs/engine.md and
// docs/results-json.md. Either all of them are written in full or none is left.
#pragma once

#include "Engine.h"
#include "OutputFile.h"
#include "ResultsFile.h"

#include <memory>
#include <string>

namespace tovan::engine {

class Outputs {
  public:
    explicit Outputs(const RunFiles& files);

    void header(const EngineDeck& deck);
    void catchment(const CatchmentResult& result);
    // True once a file has failed: nothing more will be written.
    bool failed() const;
    // Closes and names every file; on failure removes them all and says why.
    bool finish(std::string& why);

  private:
    void parameters(const CatchmentResult& r);
    void losses(const CatchmentResult& r);
    void unitHydrograph(const UnitHydrograph& uh);
    void storm(const CatchmentResult& r, const StormResult& s);
    void stormTitle(const StormResult& s);
    void lossLine(const StormResult& s);
    void factors(const StormResult& s);
    void hyetograph(const StormResult& s);
    void excessTable(const StormResult& s);
    void stormHydrograph(const StormResult& s);
    void summary(const CatchmentResult& r, const StormResult& s);
    void machineFiles(const CatchmentResult& r, const StormResult& s);
    const std::string* firstError() const;
    void discardAll();

    std::string input_;
    OutputFile report_;
    OutputFile drelm_;
    OutputFile peak_;
    std::unique_ptr<ResultsFile> results_; // none without a results name
};

} // namespace tovan::engine
