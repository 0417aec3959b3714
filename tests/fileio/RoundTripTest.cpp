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
