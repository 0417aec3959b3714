#include "DeckBuilder.h"
#include "ReaderFixture.h"
#include "TempFolder.h"
#include "deck/CardLayouts.h"
#include "fileio/SaveFile.h"
#include "fileio/SaveLosses.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

using namespace tovan;
using namespace tovan::testing;
namespace fs = std::filesystem;

namespace {

using tovan::testing::ReadText;

std::vector<fs::path> FilesIn(const fs::path& folder, const std::string& extension = "") {
    std::vector<fs::path> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() &&
            (extension.empty() || entry.path().extension() == extension)) {
            files.push_back(entry.path());
        }
    }
    return files;
}

} // namespace

// The example decks read, save and read again unchanged: see
// Cli.ExampleDecksCheckCleanAndFormatUnchanged.

// Every input the fuzzer ever crashed on stays here, read and saved as the fuzzer does.
TEST(RoundTrip, FuzzerFindingsStayFixed) {
    const fs::path findings = fs::path(TOVAN_TEST_DATA) / "fuzz-regressions";
    ASSERT_TRUE(fs::is_directory(findings));
    for (const fs::path& input : FilesIn(findings)) {
        Reader reader;
        reader.read(ReadText(input));
        const DeckText saved = BuildDeckText(reader.grids, reader.ui);
        Reader again;
        again.read(saved.text);
        BuildDeckText(again.grids, again.ui);
    }
}

// A deck of many catchments is read back in two halves side by side; whatever it holds, the
// losses must be those of reading it whole. The faults sit in one half or the other, or break
// the one-line-per-card structure the halves rely on.
TEST(RoundTrip, ReadingBackInHalvesFindsWhatReadingWholeFinds) {
    const std::string deck = WriteDeck(ManyCatchments(40, 3)); // halves: rows 2-21 and 22-41
    const auto set = [](int col, int row, std::string text) {
        return [=](DeckGrids& g) { g.fpCardD.setValue(col, row, text); };
    };
    const std::vector<std::pair<const char*, std::function<void(DeckGrids&)>>> faults = {
        {"none", [](DeckGrids&) {}},
        {"too wide, each half",
         [](DeckGrids& g) {
             g.fpCardD.setValue(col::kDArea, 3, "12345");
             g.fpCardD.setValue(col::kDArea, 35, "99999");
         }},
        {"D1 neither asked nor not, first half", set(col::kDUseD1, 5, "1.4")},
        {"D1 neither asked nor not, last row of the first half", set(col::kDUseD1, 21, "1.4")},
        {"D1 neither asked nor not, second half", set(col::kDUseD1, 30, "1.4")},
        {"no D1, first half", set(col::kDUseD1, 9, "0")},
        {"line break in a name", [](DeckGrids& g) { g.fpCardC.setValue(9, 10, "a\nb"); }},
        {"blank D row", [](DeckGrids& g) { g.fpCardD.clearBlock(1, 12, g.fpCardD.maxCols(), 12); }},
    };
    for (const auto& [name, fault] : faults) {
        Reader reader;
        ASSERT_EQ(reader.read(deck), ReadOutcome::Read);
        fault(reader.grids);
        const std::string text = BuildDeckText(reader.grids, reader.ui).text;
        const LossReport halves = FindSaveLosses(reader.grids, text, false, 2);
        const LossReport whole = FindSaveLosses(reader.grids, text, false, INT_MAX);
        EXPECT_EQ(DescribeLosses(halves), DescribeLosses(whole)) << name;
    }
}

// The cards of the second half of a large deck's catchments are built on another thread: a deck
// in saved form still saves back byte for byte, and checked against its file it is held only
// from the first difference.
TEST(RoundTrip, ManyCatchmentsSaveBackInOrder) {
    const std::string deck = WriteDeck(ManyCatchments(2400, 3));
    TempFolder temp;
    const std::string path = (temp / "many.tvi").string();
    std::ofstream(path, std::ios::binary) << deck;
    Reader reader;
    ASSERT_EQ(reader.read(deck), ReadOutcome::Read);
    EXPECT_EQ(BuildDeckText(reader.grids, reader.ui).text, deck);
    EXPECT_EQ(BuildDeckText(reader.grids, reader.ui, path).text, "");

    reader.grids.fpCardD.setValue(col::kDArea, 2000, "2.5"); // in the second half
    const std::string changed = BuildDeckText(reader.grids, reader.ui).text;
    EXPECT_NE(changed, deck);
    EXPECT_EQ(BuildDeckText(reader.grids, reader.ui, path).text, changed);
}
