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
#include <tuple>

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
    const std::vector<fs::path> inputs = FilesIn(findings, ".tvi");
    ASSERT_FALSE(inputs.empty());
    for (const fs::path& input : inputs) {
        SCOPED_TRACE(input.filename().string());
        Reader reader;
        reader.read(ReadText(input));
        const DeckText saved = BuildDeckText(reader.grids, reader.ui);
        if (saved.fatal || saved.error != 0) continue;
        Reader again;
        again.read(saved.text);
        const DeckText savedAgain = BuildDeckText(again.grids, again.ui);
        EXPECT_EQ(savedAgain.text, saved.text);
        if (saved.losses.empty()) {
            EXPECT_TRUE(savedAgain.losses.empty());
        }
    }
}

// The second half of a large deck's catchments is read on another thread, from a file as from
// the text a save reads back. Whatever the deck holds around where that half starts, the reading
// must be the one reading of the whole text.
TEST(RoundTrip, ReadingInTwoHalvesReadsAsOneReading) {
    DeckCards cards = ManyCatchments(1500, 3);
    for (std::size_t i = 0; i < cards.catchments.size(); i += 5)
        cards.catchments[i].useD1 = i < 100 || i > 1000; // the ones around the middle with D1
    const std::string deck = WriteDeck(cards);
    const std::size_t head = deck.find("\r\n\r\n") + 4;
    const std::size_t middle = deck.find("\r\n", head + (deck.size() - head) / 2) + 2;
    const std::size_t split = deck.rfind("\r\n", deck.find("AREA", middle)) + 2;
    const std::size_t before = split - 2 * 82; // the D card before the split, then its D1
    const auto at = [&](std::size_t where, std::string_view cut, std::string_view put) {
        return deck.substr(0, where) + std::string(put) + deck.substr(where + cut.size());
    };
    std::string lfOnly = deck;
    std::erase(lfOnly, '\r');
    const std::string tooLong(90, 'x');
    const std::vector<std::tuple<const char*, std::string, bool>> decks = {
        {"as saved", deck, true},
        {"line feeds only", lfOnly, true},
        {"end card in the second half, then more", at(split + 3000, "", "E\r\n"), true},
        {"no end card", deck.substr(0, deck.size() - 3), true},
        {"blank line before the split", at(split, "", "\r\n"), true},
        {"end card before the split", at(split, "", "E\r\n"), false},
        {"a blank line instead of the catchment before the split",
         at(before, deck.substr(before, 2 * 82), "\r\n"), true},
        {"a D1 card read as a C card", at(before + 60, "1", "0"), true},
        {"a C card without its D before the split", at(before, deck.substr(before, 82), "\r\n"),
         false},
        {"unreadable card in the first half", at(head + 82, "", tooLong + "\r\n"), false},
        {"unreadable card in the second half", at(split + 3000, "", tooLong + "\r\n"), false},
    };
    TempFolder temp;
    const auto sameReading = [](const Reader& halves, const Reader& whole, const char* name) {
        EXPECT_EQ(halves.ui.messages, whole.ui.messages) << name;
        for (std::size_t i = 0; i < std::min(halves.ui.messages.size(), whole.ui.messages.size());
             ++i)
            EXPECT_EQ(halves.ui.messages[i].detail, whole.ui.messages[i].detail) << name;
        EXPECT_EQ(halves.state.linesRead, whole.state.linesRead) << name;
        EXPECT_EQ(halves.state.CardLine, whole.state.CardLine) << name;
        EXPECT_EQ(halves.state.GridRow, whole.state.GridRow) << name;
        EXPECT_EQ(halves.app.EnableD, whole.app.EnableD) << name;
        for (auto set : {&DeckGrids::fpCardC, &DeckGrids::fpCardD}) {
            const Grid &a = halves.grids.*set, &b = whole.grids.*set;
            EXPECT_TRUE(a.copyRows(1, a.maxRows()) == b.copyRows(1, b.maxRows())) << name;
            EXPECT_EQ(a.activeRow(), b.activeRow()) << name;
        }
    };
    for (const auto& [name, text, readAhead] : decks) {
        const std::string path = (temp / "deck.tvi").string();
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        Reader whole, fromFile, fromText;
        whole.state.readAheadFromBytes = SIZE_MAX;
        const ReadOutcome wholeOutcome = whole.read(text);
        ASSERT_EQ(whole.state.catchmentsReadAhead, 0) << name;
        std::string reason;
        EXPECT_EQ(ReadDeckFile(fromFile.context, path, &reason), wholeOutcome) << name;
        EXPECT_EQ(fromText.read(text), wholeOutcome) << name;
        for (const Reader* halves : {&fromFile, &fromText}) {
            EXPECT_EQ(halves->state.catchmentsReadAhead > 0, readAhead) << name;
            sameReading(*halves, whole, name);
        }
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
