#include "results/RunHistory.h"

#include "fileio/Digest.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <system_error>

namespace tovan::results {

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr const char* kDescription = "run.json";
constexpr const char* kFormat = "tovan2000-kept-run";
constexpr int kVersion = 1;

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// "20261207-201530": sorts as the times do.
std::string Stamp(const RunTime& t) {
    return std::to_string(t.year) + TwoDigits(t.month) + TwoDigits(t.day) + '-' +
           TwoDigits(t.hour) + TwoDigits(t.minute) + TwoDigits(t.second);
}

std::optional<KeptRun> ReadDescription(const fs::path& folder) {
    std::ifstream in(folder / kDescription, std::ios::binary);
    if (!in) return std::nullopt;
    const json described = json::parse(in, nullptr, false);
    if (!described.is_object() || described.value("format", "") != kFormat ||
        described.value("version", 0) != kVersion)
        return std::nullopt;
    KeptRun run;
    run.folder = folder;
    run.time = described.value("time", "");
    run.deckState = described.value("deckState", "");
    run.deckDigest = described.value("deckDigest", "");
    run.summary = described.value("summary", "");
    run.resultsName = described.value("results", "");
    if (run.resultsName.empty() || !fs::exists(run.resultsFile())) return std::nullopt;
    return run;
}

void CopyInto(const fs::path& from, const fs::path& folder) {
    std::error_code error;
    fs::copy_file(from, folder / from.filename(), fs::copy_options::overwrite_existing, error);
    if (error)
        throw HistoryError(from.string() + " could not be copied to " + folder.string() + ": " +
                           error.message());
}

void WriteDescription(const KeptRun& run, const fs::path& folder) {
    const json described = {
        {"format", kFormat},          {"version", kVersion},          {"time", run.time},
        {"deckState", run.deckState}, {"deckDigest", run.deckDigest}, {"summary", run.summary},
        {"results", run.resultsName}};
    std::ofstream out(folder / kDescription, std::ios::binary | std::ios::trunc);
    out << described.dump(2) << '\n';
    out.close();
    if (!out) throw HistoryError((folder / kDescription).string() + " could not be written.");
}

// A folder that does not exist yet, named after the deck and the time ("-2" for a second run
// in the same second).
fs::path FreshFolder(const fs::path& root, const std::string& stem, const RunTime& time) {
    const std::string base = stem + '-' + Stamp(time);
    fs::path folder = root / base;
    for (int n = 2; fs::exists(folder); ++n)
        folder = root / (base + '-' + std::to_string(n));
    return folder;
}

bool CanWriteIn(const fs::path& root) {
    std::error_code error;
    fs::create_directories(root, error);
    if (error) return false;
    const fs::path probe = root / ".write-test";
    {
        std::ofstream out(probe, std::ios::binary | std::ios::trunc);
        if (!(out << 'x')) return false;
    }
    fs::remove(probe, error);
    return true;
}

} // namespace

std::string RunTimeText(const RunTime& t) {
    return std::to_string(t.year) + '-' + TwoDigits(t.month) + '-' + TwoDigits(t.day) + ' ' +
           TwoDigits(t.hour) + ':' + TwoDigits(t.minute) + ':' + TwoDigits(t.second);
}

std::string RunSummary(const RunResults& results) {
    const RunVerdict verdict = VerdictOf(results);
    std::string summary = std::to_string(verdict.computed) + " computed";
    const StormResult* largest = nullptr;
    const CatchmentResult* of = nullptr;
    for (const CatchmentResult& c : results.catchments)
        for (const StormResult& s : c.storms)
            if (s.computed && (largest == nullptr || s.peakCfs > largest->peakCfs))
                largest = &s, of = &c;
    if (largest != nullptr) {
        char peak[32];
        std::snprintf(peak, sizeof peak, "%.2f", largest->peakCfs);
        summary += std::string(", largest peak ") + peak + " cfs (" + of->identification +
                   " storm " + std::to_string(largest->storm) + ')';
    }
    if (!verdict.notComputed.empty())
        summary += "; " + std::to_string(verdict.notComputed.size()) + " not computed";
    return summary;
}

RunHistory::RunHistory(fs::path deck, fs::path userData)
    : deck_(std::move(deck)), userData_(std::move(userData)) {
    reload();
}

fs::path RunHistory::besideDeck() const {
    return deck_.parent_path() / (deck_.stem().string() + ".runs");
}

// Runs of decks of the same name in different folders must not meet: the folder's digest
// tells them apart.
fs::path RunHistory::inUserData() const {
    std::error_code noFolder; // a relative deck name and no current folder: the name as it is
    const fs::path absolute = fs::absolute(deck_, noFolder);
    const std::string where = (noFolder ? deck_ : absolute).lexically_normal().string();
    return userData_ / "runs" / (deck_.stem().string() + '-' + ShortDigest(Sha256Hex(where)));
}

void RunHistory::reload() {
    runs_.clear();
    if (!enabled()) return;
    for (const fs::path& root : {besideDeck(), inUserData()}) {
        std::error_code error;
        for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error))
            if (it->is_directory(error))
                if (auto run = ReadDescription(it->path())) runs_.push_back(std::move(*run));
    }
    std::stable_sort(runs_.begin(), runs_.end(), [](const KeptRun& a, const KeptRun& b) {
        return a.time != b.time ? a.time > b.time
                                : a.folder.filename().string() > b.folder.filename().string();
    });
}

fs::path RunHistory::writableRoot() const {
    if (CanWriteIn(besideDeck())) return besideDeck();
    if (!userData_.empty() && CanWriteIn(inUserData())) return inUserData();
    throw HistoryError("Neither " + besideDeck().string() + " nor " + inUserData().string() +
                       " can be written.");
}

const KeptRun& RunHistory::keep(const RunResults& results, const RunTime& time,
                                const std::string& deckState, std::size_t limit) {
    if (!enabled()) throw HistoryError("A deck without a file keeps no runs.");
    const fs::path root = writableRoot();
    const fs::path folder = FreshFolder(root, deck_.stem().string(), time);
    // Written under a name no listing takes, and given its own name when complete.
    const fs::path partial = root / (".partial-" + folder.filename().string());
    std::error_code error;
    fs::remove_all(partial, error);
    fs::create_directories(partial, error);
    if (error) throw HistoryError(partial.string() + " could not be made: " + error.message());
    KeptRun run;
    run.time = RunTimeText(time);
    run.deckState = deckState;
    run.summary = RunSummary(results);
    run.resultsName = results.file.filename().string();
    try {
        const fs::path outputs = results.file.parent_path();
        const fs::path deck = outputs / results.input;
        run.deckDigest = FileSha256Hex(deck).value_or("");
        CopyInto(results.file, partial);
        CopyInto(deck, partial);
        if (fs::exists(results.reportPath())) CopyInto(results.reportPath(), partial);
        WriteDescription(run, partial);
        fs::rename(partial, folder);
    } catch (...) {
        fs::remove_all(partial, error);
        throw;
    }
    run.folder = folder;
    runs_.insert(runs_.begin(), std::move(run));
    trim(limit);
    return runs_.front();
}

void RunHistory::remove(std::size_t index) {
    if (index >= runs_.size()) return;
    std::error_code error;
    fs::remove_all(runs_[index].folder, error);
    if (error)
        throw HistoryError(runs_[index].folder.string() +
                           " could not be deleted: " + error.message());
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(index));
}

void RunHistory::trim(std::size_t limit) {
    limit = std::max<std::size_t>(limit, 1);
    while (runs_.size() > limit) {
        std::error_code error;
        fs::remove_all(runs_.back().folder, error);
        runs_.pop_back(); // a folder that will not go is not listed again until reloaded
    }
}

} // namespace tovan::results
