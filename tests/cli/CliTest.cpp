#include "TempFolder.h"
#include "cli/Commands.h"
#include "fileio/Latin1.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

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

TEST_F(Cli, MessagesAreTitleColonText) {
    // A C card without unit duration, with a complete D card.
    Write(path("warn.tvi"), " 2TITLE\r\n\r\n 00 1 1\r\n"
                            "   1.   1.   1.   1.   1.   1.   1.   1.   1.   1.   1.\r\nE\r\n");
    EXPECT_EQ(Run(CheckCommand, {path("warn.tvi")}), kExitWarnings);
    EXPECT_EQ(err_, "SaveFile: You must select a Time Unit for every C card.\n");

    Write(path("bad.tvi"), "\r\n");
    EXPECT_EQ(Run(CheckCommand, {path("bad.tvi")}), kExitFailed);
    EXPECT_EQ(err_, "Error: Error on File, Check file for correct format\n"
                    "  Line 1 of the deck: \"\"\n")
        << "a second, indented line says where";
}

TEST_F(Cli, FatalRuleLeavesTheOutputUntouched) {
    Write(path("fatal.tvi"), " 1TITLE\r\n  STORM      .1\r\n 1STORM      .1\r\n\r\nE\r\n");
    Write(path("out.tvi"), "previous content");
    EXPECT_EQ(Run(FormatCommand, {path("fatal.tvi"), path("out.tvi")}), kExitFailed);
    EXPECT_EQ(ReadText(path("out.tvi")), "previous content");
}

TEST_F(Cli, UsageErrorsAndMissingFiles) {
    EXPECT_EQ(Run(CheckCommand, {}), kExitUsage);
    EXPECT_EQ(Run(CheckCommand, {path("missing.tvi")}), kExitUsage);
    EXPECT_NE(err_.find("cannot open"), std::string::npos);
    EXPECT_EQ(Run(FormatCommand, {"--help"}), kExitClean);
    EXPECT_NE(out_.find("usage: tovandeck format"), std::string::npos);
    Write(path("not.json"), "{ nope");
    EXPECT_EQ(Run(SaveCommand, {path("not.json"), path("o.tvi")}), kExitUsage);
    EXPECT_FALSE(fs::exists(path("o.tvi")));
}

TEST_F(Cli, SaveRefusesDocumentsThatDoNotFitTheGrids) {
    nlohmann::json tooManyStorms;
    tooManyStorms["B2"]["rows"] = nlohmann::json::array({nlohmann::json::array()});
    for (int i = 0; i < 101; ++i)
        tooManyStorms["B2"]["rows"].push_back({"1", "S", "0", "1"});
    const std::vector<std::pair<std::string, std::string>> cases{
        {tooManyStorms.dump(), "101 record rows"},
        {R"({"A": {"rows": [["not a label"], ["0", "T"]]}})", "label row"},
        {R"({"C": {"rows": [[], ["", "0"], ["Add"]]}})", "button row"},
        {R"({"D": {"rows": [[], ["x"], []]}})", "holds no field"},
        {R"({"A": {"rows": [[], ["0", "T", "extra"]]}})", "more columns"},
        {R"({"A": {"rows": [[], ["0", "\u20ac"]]}})", "Latin-1"},
        {R"({"A": {"rows": [[], ["2", "T"]]}})", "item of the cell's list"},
        {R"([1, 2])", "JSON object"},
    };
    for (const auto& [document, complaint] : cases) {
        Write(path("g.json"), document);
        EXPECT_EQ(Run(SaveCommand, {path("g.json"), path("o.tvi")}), kExitUsage) << document;
        EXPECT_NE(err_.find(complaint), std::string::npos) << err_;
        EXPECT_FALSE(fs::exists(path("o.tvi")));
    }
}

TEST_F(Cli, SaveAcceptsNumbersAndGrowsTheRecordGrids) {
    Write(path("g.json"), R"({"A": {"rows": [[], [1, "NUMBERS"]]},
        "C": {"rows": [[], ["", 0, 0, 1, 1, 5, "A", 1, ""], ["", 0, 0, 1, 1, 5, "B", 2, ""], []]},
        "D": {"rows": [[], ["", 1.5, 1, 1, 1, 0.01, null, 1, 1, 1, 1, 1],
                           ["", 2.5, 1, 1, 1, 0.01, null, 1, 1, 1, 1, 1], []]}})");
    ASSERT_EQ(Run(SaveCommand, {path("g.json"), path("o.tvi")}), kExitClean) << err_;
    const std::string deck = ReadText(path("o.tvi"));
    EXPECT_NE(deck.find("\r\n  2.5   1.   1."), std::string::npos) << deck;
    EXPECT_EQ(deck.substr(deck.size() - 3), "E\r\n");
}

TEST(Latin1, ConvertsBothWaysAndRefusesWhatItCannotHold) {
    const std::string latin1 = "caf\xE9 \xB0";
    EXPECT_EQ(Latin1ToUtf8(latin1), "caf\xC3\xA9 \xC2\xB0");
    EXPECT_EQ(Utf8ToLatin1(Latin1ToUtf8(latin1)), latin1);
    EXPECT_FALSE(Utf8ToLatin1("\xE2\x82\xAC")); // the euro sign
    EXPECT_FALSE(Utf8ToLatin1("\xC3"));         // cut short
}
