// The runs of a deck kept for comparison: each run of the desktop program copies its results
// file, the deck that ran and the engine's report into a folder of its own, named after the
// deck and the run's time, with a small description (run.json: time, deck state, summary).
// The folders sit together in "<deck name>.runs" beside the deck, the outputs' folder; when
// that folder cannot be written, in the user's data folder. The folders are the history: what
// a listing shows is what is on the disk, and a run half written (a full disk) is never listed.
#pragma once

#include "results/RunResults.h"

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace tovan::results {

class HistoryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A run's local time, as the clock of the machine it ran on showed it.
struct RunTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// "2026-12-07 20:15:30".
std::string RunTimeText(const RunTime& time);

struct KeptRun {
    std::filesystem::path folder; // the run's own folder
    std::string time;             // RunTimeText of the run
    std::string deckState;        // "saved", or "edited <digest of the grids>"
    std::string deckDigest;       // of the deck file that ran
    std::string summary;          // RunSummary of its results
    std::string resultsName;      // the results file's name in the folder
    std::filesystem::path resultsFile() const { return folder / resultsName; }
};

// "12 computed, largest peak 245.31 cfs (EAST storm 2)"; the catchment-storms not computed
// are counted after it ("; 2 not computed").
std::string RunSummary(const RunResults& results);

class RunHistory {
  public:
    static constexpr std::size_t kDefaultLimit = 50;

    RunHistory() = default; // a deck without a file keeps no runs
    // `userData`: where the runs go when the deck's folder cannot be written.
    RunHistory(std::filesystem::path deck, std::filesystem::path userData);

    bool enabled() const { return !deck_.empty(); }
    const std::filesystem::path& deck() const { return deck_; }
    // The runs found, the newest first.
    const std::vector<KeptRun>& runs() const { return runs_; }
    void reload();

    // Keeps `results` (its file, its deck and its report) as the newest run, then deletes the
    // oldest beyond `limit`. A run that cannot be kept throws HistoryError saying why and
    // leaves nothing behind.
    const KeptRun& keep(const RunResults& results, const RunTime& time,
                        const std::string& deckState, std::size_t limit);
    // Deletes a run's folder; throws HistoryError when it cannot.
    void remove(std::size_t index);
    // Deletes the oldest runs beyond `limit`.
    void trim(std::size_t limit);

    // Where the runs of this deck are kept: beside the deck, or the user's data folder.
    std::filesystem::path besideDeck() const;
    std::filesystem::path inUserData() const;

  private:
    std::filesystem::path writableRoot() const;

    std::filesystem::path deck_, userData_;
    std::vector<KeptRun> runs_;
};

} // namespace tovan::results
