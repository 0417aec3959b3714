#include "DeckBuilder.h"
#include "RunNameClashes.h"
#include "TempFolder.h"
#include "cli/Commands.h"
#include "fileio/Latin1.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace tovan;
using namespace tovan::cli;
namespace fs = std::filesystem;

namespace {

using tovan::testing::ReadText;

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class Cli : public ::testing::Test {
  protected:
    // Runs a command and keeps what it wrote to standard error.
    int Run(int (*command)(Arguments), std::vector<std::string> args) {
        const std::vector<std::string_view> views(args.begin(), args.end());
        ::testing::internal::CaptureStderr();
        ::testing::internal::CaptureStdout();
        const int status = command(views);
        err_ = ::testing::internal::GetCapturedStderr();
        out_ = ::testing::internal::GetCapturedStdout();
        return status;
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    tovan::testing::TempFolder folder_;
    std::string err_, out_;
};

std::vector<fs::path> ExampleDecks() {
    std::vector<fs::path> decks;
    for (const auto& entry : fs::directory_iterator(TOVAN_EXAMPLES)) {
        if (entry.path().extension() == ".tvi") decks.push_back(entry.path());
    }
    return decks;
}

} // namespace

TEST_F(Cli, ExampleDecksCheckCleanAndFormatUnchanged) {
    const auto decks = ExampleDecks();
    ASSERT_GE(decks.size(), 2U);
    for (const fs::path& deck : decks) {
        EXPECT_EQ(Run(CheckCommand, {deck.string()}), kExitClean) << deck << "\n" << err_;
        EXPECT_EQ(err_, "");
        EXPECT_EQ(Run(FormatCommand, {deck.string(), path("out.tvi")}), kExitClean) << err_;
        EXPECT_EQ(err_, "SaveFile: Save operation was sucessful.\n");
        EXPECT_EQ(ReadText(path("out.tvi")), ReadText(deck)) << deck;
    }
}

TEST_F(Cli, DumpAndSaveRoundTripThroughJson) {
    for (const fs::path& deck : ExampleDecks()) {
        ASSERT_EQ(Run(DumpCommand, {deck.string()}), kExitClean) << err_;
        const auto document = nlohmann::json::parse(out_);
        EXPECT_FALSE(document["readFailed"].get<bool>());
        EXPECT_EQ(document["D"]["maxCols"], 25);
        EXPECT_EQ(document["D"]["rows"][0][2], "Catchment Lenght (miles):");
        Write(path("grids.json"), out_);
        ASSERT_EQ(Run(SaveCommand, {path("grids.json"), path("again.tvi")}), kExitClean) << err_;
        EXPECT_EQ(ReadText(path("again.tvi")), ReadText(deck));
    }
}

TEST_F(Cli, FatalRuleLeavesTheOutputUntouched) {
    Write(path("fatal.tvi"), " 1TITLE\r\n  STORM      .1\r\n 1STORM      .1\r\n\r\nE\r\n");
    Write(path("out.tvi"), "previous content");
    EXPECT_EQ(Run(FormatCommand, {path("fatal.tvi"), path("out.tvi")}), kExitFailed);
    EXPECT_EQ(ReadText(path("out.tvi")), "previous content");
}

TEST(Latin1, ConvertsBothWaysAndRefusesWhatItCannotHold) {
    const std::string latin1 = "caf\xE9 \xB0";
    EXPECT_EQ(Latin1ToUtf8(latin1), "caf\xC3\xA9 \xC2\xB0");
    EXPECT_EQ(Utf8ToLatin1(Latin1ToUtf8(latin1)), latin1);
    EXPECT_FALSE(Utf8ToLatin1("\xE2\x82\xAC")); // the euro sign
    EXPECT_FALSE(Utf8ToLatin1("\xC3"));         // cut short
}

// check --list: findings of one rule and class each say their own value, and the exit status is
// the worst finding's, the fatal one first as a save meets it or among the notes.
TEST_F(Cli, CheckListGivesEachFindingItsValueAndTheWorstStatus) {
    tovan::testing::DeckCards deck;
    deck.storms = {{1, "10-YEAR", 10, 1.6, {}, {}}};
    deck.catchments = {tovan::testing::CatchmentCards{}, tovan::testing::CatchmentCards{},
                       tovan::testing::CatchmentCards{}};
    deck.catchments[0].slope = 0.5;
    deck.catchments[1].identification = "AREA2";
    deck.catchments[2].identification = "AREA3";
    deck.catchments[2].slope = 0.9;
    tovan::testing::WriteDeckFile(path("notes.tvi"), deck);
    EXPECT_EQ(Run(CheckCommand, {path("notes.tvi"), "--list"}), kExitWarnings) << out_;
    EXPECT_NE(out_.find("D 2 6 note: the slope 0.5 ft/ft"), std::string::npos) << out_;
    EXPECT_NE(out_.find("D 4 6 note: the slope 0.9 ft/ft"), std::string::npos) << out_;
    EXPECT_EQ(out_.find("D 3 6"), std::string::npos) << "the usual slope gives no finding";

    deck.storms.push_back(deck.storms.front()); // storm 1 twice: the save stops there
    tovan::testing::WriteDeckFile(path("fatal.tvi"), deck);
    EXPECT_EQ(Run(CheckCommand, {path("fatal.tvi"), "--list"}), kExitFailed) << out_;
    EXPECT_NE(out_.find(" fatal: "), std::string::npos) << out_;
    EXPECT_NE(out_.find("slope 0.9"), std::string::npos) << "the notes after the fatal one";
}

// Every name a run may not give twice, through tovandeck run: refused before the engine
// starts, naming the file, and nothing written.
TEST_F(Cli, RunRefusesEveryNameThatWouldMeetAnother) {
    for (const tovan::testing::RunNameClash& clash : tovan::testing::RunNameClashes()) {
        SCOPED_TRACE(clash.said);
        tovan::testing::ArrangeRunNameClash(folder_.path(), clash, "the deck\n");
        const std::vector<std::string> before = tovan::testing::FileNamesIn(folder_.path());
        std::vector<std::string> args{path(clash.deck)};
        for (const auto& [option, name] : {std::pair{"--report", clash.report},
                                           {"--drelm", clash.drelm},
                                           {"--peak", clash.peak}}) {
            if (*name != '\0') args.insert(args.end(), {option, name});
        }
        EXPECT_NE(Run(RunCommand, args), kExitClean);
        EXPECT_NE(err_.find(clash.said), std::string::npos) << err_;
        EXPECT_EQ(ReadText(path(clash.deck)), "the deck\n");
        EXPECT_EQ(tovan::testing::FileNamesIn(folder_.path()), before) << "nothing written";
    }
}
