#include "ReaderFixture.h"
#include "TempFolder.h"
#include "fileio/SaveFile.h"

#include <filesystem>
#include <fstream>
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

void ExpectSameGrid(const Grid& a, const Grid& b) {
    ASSERT_EQ(a.maxRows(), b.maxRows()) << a.name();
    for (int r = 1; r <= a.maxRows(); ++r) {
        for (int c = 1; c <= a.maxCols(); ++c) {
            EXPECT_EQ(a.value(c, r), b.value(c, r)) << a.name() << " (" << c << ", " << r << ")";
        }
    }
}

} // namespace

// Reading a deck, saving it and reading the result gives the same grids; saving again gives
// the same text.
TEST(RoundTrip, ExampleDecksReadSaveAndReadAgain) {
    const auto decks = FilesIn(TOVAN_EXAMPLES, ".tvi");
    ASSERT_FALSE(decks.empty());
    for (const fs::path& deck : decks) {
        Reader first;
        ASSERT_EQ(first.read(ReadText(deck)), ReadOutcome::Read) << deck;
        const DeckText saved = BuildDeckText(first.grids, first.ui);
        ASSERT_FALSE(saved.fatal);
        EXPECT_EQ(saved.text, ReadText(deck)) << "the examples are written as the writer writes";

        Reader second;
        ASSERT_EQ(second.read(saved.text), ReadOutcome::Read);
        ExpectSameGrid(first.grids.fpCardA, second.grids.fpCardA);
        ExpectSameGrid(first.grids.fpCardB1, second.grids.fpCardB1);
        ExpectSameGrid(first.grids.fpCardB2, second.grids.fpCardB2);
        ExpectSameGrid(first.grids.fpCardC, second.grids.fpCardC);
        ExpectSameGrid(first.grids.fpCardD, second.grids.fpCardD);
        EXPECT_EQ(BuildDeckText(second.grids, second.ui).text, saved.text);
        EXPECT_TRUE(first.ui.messages.empty() && second.ui.messages.empty());
    }
}

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
