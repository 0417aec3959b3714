// The results file for programs, `<report base>.results.json`, streamed catchment by catchment
// so that memory stays that of one catchment. docs/results-json.md describes it.
#pragma once

#include "Engine.h"
#include "OutputFile.h"

#include <string>

namespace tovan::engine {

class ResultsFile {
  public:
    ResultsFile(const RunFiles& files);

    void header(const EngineDeck& deck);
    void catchment(const CatchmentResult& r);
    void end();
    OutputFile& file() { return file_; }

  private:
    void unitHydrograph(const UnitHydrograph& uh);
    void storm(const CatchmentResult& r, const StormResult& s);
    void messages(const std::vector<Message>& list, const std::string& catchment);

    // The small pieces of JSON.
    void key(const char* name);
    void text(std::string_view value);
    void number(double value);
    void integer(long long value);
    void numbers(const char* name, const std::vector<double>& values, int decimals);
    void fixed(double value, int decimals);
    void field(const char* name, double value);
    void field(const char* name, std::string_view value);

    RunFiles files_;
    OutputFile file_;
    std::string out_; // the text not yet handed to the file
    bool firstCatchment_ = true;
};

} // namespace tovan::engine
