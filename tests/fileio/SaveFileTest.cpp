#include "fileio/SaveFile.h"

#include "SaveTestDecks.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#if !defined(_WIN32)
#include <unistd.h>
#endif

using namespace tovan;
using namespace tovan::testing;
namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> FileNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class SaveFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("tovan-save-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        deck_ = folder_ / "deck.tvi";
    }
    void TearDown() override {
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder_);
    }

    fs::path folder_;
    fs::path deck_;
    RecordingPlatform ui_;
};

} // namespace

TEST_F(SaveFileTest, WritesTheDeckTextAndTheSameBytesEachTime) {
    const DeckGrids grids = ValidB2Deck();
    ASSERT_EQ(SaveFile(grids, deck_.string(), ui_), 0);
    const std::string first = ReadBytes(deck_);
    RecordingPlatform again;
    EXPECT_EQ(first, BuildDeckText(grids, again).text);
    ASSERT_EQ(SaveFile(grids, deck_.string(), ui_), 0);
    EXPECT_EQ(ReadBytes(deck_), first);
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(FileNames(folder_), std::vector<std::string>{"deck.tvi"}) << "no temporary left";
}

// Six storms without identification and a catchment without area: eight boxes in all with the
// unusable one; six catchments more without area make fourteen, of which ten are shown.
TEST_F(SaveFileTest, AtMostTenBoxesTheTenthCountingTheRest) {
    DeckGrids grids = ValidB2Deck();
    for (int row = 3; row <= 7; ++row)
        SetRow(grids.fpCardB2, row, {{1, std::to_string(row).c_str()}, {3, "1"}, {4, "1"}});
    grids.fpCardB2.setValue(2, 2, "");
    grids.fpCardD.setValue(2, 2, "");
    ASSERT_EQ(SaveFile(grids, deck_.string(), ui_), 0);
    EXPECT_EQ(ui_.messages.size(), 8U) << "under the limit every box is shown";
    for (int row = 3; row <= 8; ++row) {
        AddCatchment(grids, row);
        grids.fpCardD.setValue(2, row, "");
    }
    RecordingPlatform limited, all;
    ASSERT_EQ(SaveFile(grids, deck_.string(), limited), 0);
    ASSERT_EQ(SaveFile(grids, deck_.string(), all, {0, ""}), 0);
    ASSERT_EQ(all.messages.size(), 14U);
    ASSERT_EQ(limited.messages.size(), 10U);
    EXPECT_TRUE(
        std::equal(all.messages.begin(), all.messages.begin() + 9, limited.messages.begin()));
    EXPECT_EQ(limited.messages[9].text,
              all.messages[9].text + "\n\n4 more messages of this save are not shown; View > "
                                     "Check Deck lists them all.");
}

TEST_F(SaveFileTest, FatalRuleLeavesTheEarlierFileUntouched) {
    EXPECT_EQ(SaveFile(DeckGrids{}, deck_.string(), ui_), -1);
    EXPECT_FALSE(fs::exists(deck_)) << "nothing is created";

    const std::string earlier = "earlier deck\r\n\xE9\r\n";
    WriteBytes(deck_, earlier);
    DeckGrids lastRowFatal = ValidB2Deck();
    SetRow(lastRowFatal.fpCardB2, 3, {{1, "1"}, {2, "dup"}});
    EXPECT_EQ(SaveFile(lastRowFatal, deck_.string(), ui_), -1);
    DeckGrids mismatch = ValidB2Deck();
    SetRecord(mismatch.fpCardC, 3, {{2, "0"}});
    SetRecord(mismatch.fpCardD, 3, {});
    EXPECT_EQ(SaveFile(mismatch, deck_.string(), ui_), -1);
    EXPECT_EQ(ReadBytes(deck_), earlier);
    EXPECT_EQ(FileNames(folder_), std::vector<std::string>{"deck.tvi"});
}

TEST_F(SaveFileTest, FailedWritesReturnAnErrorAndLeaveNoTrace) {
    const fs::path folderTarget = folder_ / "a folder.tvi";
    fs::create_directory(folderTarget);
    WriteBytes(folderTarget / "inside", "kept");
    EXPECT_GT(SaveFile(ValidB2Deck(), folderTarget.string(), ui_), 0);
    EXPECT_EQ(ReadBytes(folderTarget / "inside"), "kept");

    EXPECT_GT(SaveFile(ValidB2Deck(), (folder_ / "missing" / "deck.tvi").string(), ui_), 0);
    EXPECT_EQ(FileNames(folder_), std::vector<std::string>{"a folder.tvi"});
    EXPECT_TRUE(ui_.messages.empty()) << "the caller reports the failure";
}
