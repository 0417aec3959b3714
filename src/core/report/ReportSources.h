// Where a report's contents come from: a run's results file (its deck beside it, as the run
// names it) or a deck file alone, read without a word to the user (what cannot be read is
// said by the ReportError thrown).
#pragma once

#include "report/ReportLayout.h"

#include <filesystem>
#include <stdexcept>

namespace tovan::report {

class ReportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// `date` and `version` for the title block. A results file that cannot be read, or whose deck
// cannot, throws ReportError naming it.
ReportDocument ReportOfResults(const std::filesystem::path& resultsFile,
                               const ReportOptions& options, const std::string& date,
                               const std::string& version);
// The report of a deck without results: its inputs, with what checking it finds.
ReportDocument ReportOfDeck(const std::filesystem::path& deck, const ReportOptions& options,
                            const std::string& date, const std::string& version);
// The same for grids and results already in hand (the open deck, a results window's run).
ReportDocument ReportOfGrids(const DeckGrids& grids, const std::filesystem::path& deck,
                             const results::RunResults* results, const ReportOptions& options,
                             const std::string& date, const std::string& version);

} // namespace tovan::report
