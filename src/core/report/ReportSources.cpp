#include "report/ReportSources.h"

#include "fileio/Digest.h"
#include "fileio/Latin1.h"
#include "fileio/basFileRoutines.h"
#include "platform/RecordingPlatform.h"

#include <fstream>
#include <iterator>

namespace tovan::report {

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw ReportError("The deck " + file.string() + " cannot be read.");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The deck's lines as its cards, in the characters they stand for.
std::vector<std::string> CardLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < bytes.size()) {
        std::size_t end = bytes.find('\n', from);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(Latin1ToUtf8(line));
        from = end + 1;
    }
    return lines;
}

void ReadGrids(const fs::path& deck, DeckGrids& grids) {
    RecordingPlatform quiet;
    ReadingState reading;
    ApplicationState app;
    ReadingContext context{grids, reading, app, quiet};
    std::string reason;
    if (ReadDeckFile(context, deck.string(), &reason) != ReadOutcome::Read)
        throw ReportError("The deck " + deck.string() + " cannot be read" +
                          (reason.empty() ? std::string(".") : ": " + reason + "."));
}

} // namespace

ReportDocument ReportOfGrids(const DeckGrids& grids, const fs::path& deck,
                             const results::RunResults* results, const ReportOptions& options,
                             const std::string& date, const std::string& version) {
    ReportFacts facts;
    facts.deckName = deck.filename().string();
    facts.date = date;
    facts.version = version;
    std::vector<std::string> cards;
    std::error_code error;
    if (fs::exists(deck, error)) {
        const std::string bytes = ReadBytes(deck);
        facts.deckDigest = Sha256Hex(bytes);
        cards = CardLines(bytes);
    } else {
        facts.deckDigest = "(the deck has not been saved)";
    }
    return BuildReport(grids, results, cards, facts, options);
}

ReportDocument ReportOfResults(const fs::path& resultsFile, const ReportOptions& options,
                               const std::string& date, const std::string& version) {
    results::RunResults run;
    try {
        run = results::ReadResults(resultsFile);
    } catch (const results::ResultsError& e) {
        throw ReportError(e.what());
    }
    const fs::path deck = run.file.parent_path() / run.input;
    DeckGrids grids;
    ReadGrids(deck, grids);
    return ReportOfGrids(grids, deck, &run, options, date, version);
}

ReportDocument ReportOfDeck(const fs::path& deck, const ReportOptions& options,
                            const std::string& date, const std::string& version) {
    DeckGrids grids;
    ReadGrids(deck, grids);
    return ReportOfGrids(grids, deck, nullptr, options, date, version);
}

} // namespace tovan::report
