// `tovandeck run` as a user calls it: the real program, next to the helper and our engine.
#include "DeckBuilder.h"
#include "TempFolder.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace tovan::testing;
namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs tovandeck with its standard error folded into the output.
Outcome Tovandeck(const std::string& arguments, const fs::path& program = TOVANDECK,
                  const fs::path& in = {}) {
    const std::string cd = in.empty() ? "" : "cd '" + in.string() + "' && ";
    const std::string command = cd + "'" + program.string() + "' " + arguments + " 2>&1";
    Outcome result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        result.out += buffer.data();
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

} // namespace

TEST(RunCommand, RunsTheDeckAndPrintsTheThreeOutputNames) {
    TempFolder folder;
    DeckCards deck;
    deck.storms = {{1, "100-YEAR", 100, 2.6, {}, {}}};
    deck.catchments = {CatchmentCards{}};
    WriteDeckFile((folder / "storm.tvi").string(), deck);
    const Outcome run = Tovandeck("run " + Quoted(folder / "storm.tvi") + " --peak kw");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, (folder / "storm.tvo").string() + "\n" + (folder / "storm.tvd").string() +
                           "\n" + (folder / "kwPeak.tvi").string() + "\n");
    EXPECT_FALSE(ReadText(folder / "kwPeak.tvi").empty());
    EXPECT_FALSE(fs::exists(folder / "Killz__1.tvi"));
}

TEST(RunCommand, ADeckGivenRelativeToTheCurrentFolder) {
    TempFolder folder;
    fs::create_directory(folder / "decks");
    DeckCards deck;
    deck.storms = {{1, "2-YEAR", 2, 0.95, {}, {}}};
    deck.catchments = {CatchmentCards{}};
    WriteDeckFile((folder / "decks" / "storm.tvi").string(), deck);
    const Outcome run = Tovandeck("run decks/storm.tvi", TOVANDECK, folder.path());
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "decks/storm.tvo\ndecks/storm.tvd\ndecks/stormPeak.tvi\n");
    EXPECT_TRUE(fs::exists(folder / "decks" / "stormPeak.tvi"));
}

TEST(RunCommand, UsageErrorsAndMissingDecks) {
    EXPECT_EQ(Tovandeck("run").status, 3);
    EXPECT_EQ(Tovandeck("run a.tvi --report").status, 3);
    EXPECT_EQ(Tovandeck("run a.tvi --colour red").status, 3);
    const Outcome missing = Tovandeck("run /nonexistent/storm.tvi");
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.out.find("no such deck file"), std::string::npos);
}

TEST(RunCommand, AnEngineThatCannotBeLoadedFailsTheRun) {
    TempFolder programs, decks;
    fs::copy_file(TOVANDECK, programs / "tovandeck");
    fs::copy_file(TOVAN_ENGINE_HOST, programs / "tovan-engine-host"); // but no libTOVAN.so
    Touch(decks / "storm.tvi");
    const Outcome run = Tovandeck("run " + Quoted(decks / "storm.tvi"), programs / "tovandeck");
    const std::string& out = run.out;
    EXPECT_EQ(run.status, 2) << out;
    EXPECT_NE(out.find("KillBuffer Error!"), std::string::npos) << out;
    EXPECT_NE(out.find("cmdRun_Click Error! The engine library libTOVAN.so could not be loaded"),
              std::string::npos)
        << out;
}
