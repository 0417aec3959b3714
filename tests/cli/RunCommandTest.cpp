// `tovandeck run` as a user calls it: the real program, next to the helper and our engine.
#include "DeckBuilder.h"
#include "TempFolder.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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

namespace {

// tovandeck beside a helper of our own making: a shell script in place of the engine host.
struct FakeHost {
    TempFolder programs, decks;
    explicit FakeHost(const std::string& script) {
        fs::copy_file(TOVANDECK, programs / "tovandeck");
        std::ofstream(programs / "tovan-engine-host") << "#!/bin/sh\n" << script << "\n";
        fs::permissions(programs / "tovan-engine-host", fs::perms::owner_all);
        Touch(decks / "storm.tvi");
    }
    Outcome run(const std::string& options = "") {
        return Tovandeck("run " + Quoted(decks / "storm.tvi") + " " + options,
                         programs / "tovandeck");
    }
    // Running, that is: a killed process may linger as a zombie until someone reaps it.
    bool alive(const char* pidFile) const {
        const std::string pid = ReadText(decks / pidFile);
        const std::string stat =
            pid.empty() ? "" : ReadText("/proc/" + pid.substr(0, pid.size() - 1) + "/stat");
        const auto state = stat.find(") ");
        return state != std::string::npos && stat[state + 2] != 'Z';
    }
};

} // namespace

TEST(RunCommand, NamesThatWouldDestroyAFileAreRefusedBeforeTheEngineStarts) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"site.tvo", ""},
        {"site.tvd", ""},
        {"sitePeak.tvi", "--peak site"},
        {"Killz__1.tvi", ""},
        {"storm.tvi", "--report Killz__1"},
        {"storm.tvi", "--report out"},
    };
    for (const auto& [deckName, options] : cases) {
        TempFolder folder;
        std::ofstream(folder / deckName) << "the deck";
        if (options == "--report out") fs::create_hard_link(folder / deckName, folder / "out.tvo");
        const Outcome run = Tovandeck("run " + Quoted(folder / deckName) + " " + options);
        EXPECT_EQ(run.status, 2) << deckName << " " << options << "\n" << run.out;
        EXPECT_NE(run.out.find("cmdRun_Click Error!"), std::string::npos) << run.out;
        EXPECT_EQ(ReadText(folder / deckName), "the deck");
        const auto files = std::distance(fs::directory_iterator(folder.path()), {});
        EXPECT_EQ(files, options == "--report out" ? 2 : 1) << "the engine never ran";
    }
}

TEST(RunCommand, AnEngineThatNeverEndsIsStoppedAtTheTimeoutAndItsOutputsRemoved) {
    FakeHost host("echo $$ > pid; echo partial > \"$2\"; echo x > .tovan-1-0.part; kill -STOP $$");
    const Outcome run = host.run("--timeout 0.5");
    EXPECT_EQ(run.status, 2) << run.out;
    EXPECT_NE(run.out.find("did not finish within 0.5 seconds and was stopped. Its partial output "
                           "files were removed."),
              std::string::npos)
        << run.out;
    EXPECT_FALSE(fs::exists(host.decks / "storm.tvo") ||
                 fs::exists(host.decks / ".tovan-1-0.part"));
    EXPECT_FALSE(host.alive("pid"));
    EXPECT_EQ(Tovandeck("run x.tvi --timeout 0").status, 3);
}

TEST(RunCommand, WaitingEndsWithTheHelperAndTheHelperDiesWithUs) {
    FakeHost lingering("sleep 100 & echo $! > grandchild; exit 0");
    const Outcome run = lingering.run();
    EXPECT_EQ(run.status, 0) << "a grandchild holding standard error keeps nobody waiting\n"
                             << run.out;
    EXPECT_NE(run.out.find("the engine wrote no results file"), std::string::npos) << run.out;
    for (int i = 0; i < 100 && lingering.alive("grandchild"); ++i)
        ::usleep(10000); // a killed process takes a moment to be gone
    EXPECT_FALSE(lingering.alive("grandchild"));

    FakeHost orphan("echo $$ > pid; exec sleep 100");
    const pid_t tovandeck = ::fork();
    if (tovandeck == 0) {
        ::execl((orphan.programs / "tovandeck").c_str(), "tovandeck", "run",
                (orphan.decks / "storm.tvi").c_str(), nullptr);
        ::_exit(127);
    }
    while (ReadText(orphan.decks / "pid").empty())
        ::usleep(10000);
    ::kill(tovandeck, SIGKILL);
    ::waitpid(tovandeck, nullptr, 0);
    for (int i = 0; i < 100 && orphan.alive("pid"); ++i)
        ::usleep(10000);
    EXPECT_FALSE(orphan.alive("pid")) << "the helper went with the killed tovandeck";
}

// `tovandeck report` of a large deck: its catchment tables run over several pages, and every
// page of them starts with the header row again; the page count is told on standard error.
TEST(ReportCommand, LongTablesRepeatTheirHeaderOnEveryPage) {
    const fs::path desktop = fs::path(TOVANDECK).parent_path() / "tovan2000";
    if (!fs::exists(desktop)) GTEST_SKIP() << "built without the desktop program";
    TempFolder folder;
    DeckCards deck = ManyCatchments(150, 1);
    for (std::size_t i = 0; i < deck.catchments.size(); ++i)
        deck.catchments[i].identification = "Q" + std::to_string(i + 1);
    WriteDeckFile((folder / "big.tvi").string(), deck);
    const Outcome report =
        Tovandeck("report " + Quoted(folder / "big.tvi") + " " + Quoted(folder / "big.pdf"));
    ASSERT_EQ(report.status, 0) << report.out;
    const auto pages = std::stoi(report.out.substr(report.out.rfind(": ") + 2));
    int tablePages = 0;
    for (int page = 1; page <= pages; ++page) {
        const Outcome text =
            Tovandeck("-f " + std::to_string(page) + " -l " + std::to_string(page) + " " +
                          Quoted(folder / "big.pdf") + " -",
                      "pdftotext");
        if (text.out.find("Q75") == std::string::npos &&
            text.out.find("Q150") == std::string::npos &&
            text.out.find("Q1\n") == std::string::npos)
            continue;
        ++tablePages;
        EXPECT_NE(text.out.find("Catchment"), std::string::npos) << "page " << page;
    }
    EXPECT_GE(tablePages, 4) << "150 catchments on cards C and D take pages";
}
