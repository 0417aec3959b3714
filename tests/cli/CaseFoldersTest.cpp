// One driver for the reference cases in tests/cases/<name>/: each folder holds its input, the
// tovandeck command line that uses it (file "args"), and the outcome it must give: the exit
// status ("status"), everything written to standard error ("stderr"), and optionally what was
// written to standard output ("stdout"). In "args" and "stderr", @ stands for the case's
// folder and % for a fresh output folder. The files of the case's "in" folder are
// copied to the output folder first (a run writes next to its deck), and each file of its
// "out" folder must be found there with the same bytes (a saved deck, a run's outputs); any
// other file the command writes must be named in "unchecked", one name a line. A case whose
// standard output is a dump of the grids may give the record cells that must hold text
// ("cells", one line each: grid, row, column and the quoted text) instead of the whole dump;
// every other record cell must be empty. A case holding "posix-only" is skipped on Windows;
// "about.txt" and "worked-by-hand.txt" explain it. The driver is strict about names: any other
// file in the folder fails the case unless "args" names it as "@/<file>", so that a misspelt
// expectation cannot pass silently. tovandeck is started directly, without a shell.
// Adding a case is adding a folder.
#include "TempFolder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;
using tovan::testing::ReadText;

namespace {

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(TOVAN_CASES)) {
        if (fs::exists(entry.path() / "args")) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Replaced(std::string text, char mark, const std::string& by) {
    for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
        text.replace(at, 1, by);
    return text;
}

// The text with every `path` in it written as its mark: what a command says about its folders
// is compared with the case's text as written, so that a "%" in a message stays a "%".
std::string Marked(std::string text, const std::string& path, char mark) {
    for (auto at = text.find(path); at != std::string::npos; at = text.find(path, at + 1))
        text.replace(at, path.size(), 1, mark);
    return text;
}

std::string WithoutFinalNewline(std::string text) {
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

// The filled record cells of a dump (row 1, the labels, is the same in every deck), and how
// many rows each grid has.
std::string FilledCells(const std::string& dump) {
    const auto document = nlohmann::json::parse(dump, nullptr, false);
    if (document.is_discarded()) return "not a dump: " + dump;
    std::string cells;
    for (const char* grid : {"A", "B1", "B2", "C", "D"}) {
        const auto& rows = document[grid]["rows"];
        cells += std::string(grid) + " rows " + std::to_string(rows.size()) + "\n";
        for (std::size_t r = 1; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                const auto text = rows[r][c].get<std::string>();
                if (text.empty()) continue;
                cells += std::string(grid) + " " + std::to_string(r + 1) + " " +
                         std::to_string(c + 1) + " \"" + text + "\"\n";
            }
        }
    }
    return cells;
}

// The words of "args", each with its marks replaced: a folder with a blank in its name stays
// one argument.
std::vector<std::string> Arguments(const std::string& args, const std::string& caseFolder,
                                   const std::string& outFolder) {
    std::vector<std::string> words;
    std::istringstream in(args);
    for (std::string word; in >> word;)
        words.push_back(Replaced(Replaced(word, '@', caseFolder), '%', outFolder));
    return words;
}

// The files of the case folder that "args" names as "@/<file>".
std::set<std::string> NamedInputs(const std::string& args) {
    std::set<std::string> names;
    std::istringstream in(args);
    for (std::string word; in >> word;)
        if (word.starts_with("@/")) names.insert(word.substr(2));
    return names;
}

std::set<std::string> LinesOf(const fs::path& file) {
    std::set<std::string> lines;
    std::istringstream in(ReadText(file));
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.insert(line);
    return lines;
}

std::set<std::string> NamesIn(const fs::path& folder) {
    std::set<std::string> names;
    if (!fs::is_directory(folder)) return names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Runs tovandeck with `arguments`, standard output and error to the two files; returns its
// exit status (-1 when it did not exit).
#if defined(_WIN32)
int RunTovandeck(const std::vector<std::string>& arguments, const fs::path& output,
                 const fs::path& error) {
    std::vector<std::string> quoted{"\"" + fs::path(TOVANDECK).make_preferred().string() + "\""};
    for (const std::string& a : arguments)
        quoted.push_back("\"" + a + "\"");
    std::vector<const char*> argv;
    for (const std::string& a : quoted)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = _dup(1), savedErr = _dup(2);
    const int out =
        _open(output.string().c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0666);
    const int err =
        _open(error.string().c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0666);
    _dup2(out, 1);
    _dup2(err, 2);
    const intptr_t status = _spawnv(_P_WAIT, TOVANDECK, argv.data());
    _dup2(savedOut, 1);
    _dup2(savedErr, 2);
    for (int fd : {out, err, savedOut, savedErr})
        _close(fd);
    return static_cast<int>(status);
}
// The console streams end their lines with CR LF.
std::string ConsoleText(std::string text) {
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}
#else
int RunTovandeck(const std::vector<std::string>& arguments, const fs::path& output,
                 const fs::path& error) {
    std::vector<std::string> words{TOVANDECK};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, error.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t child = 0;
    const int started = posix_spawn(&child, TOVANDECK, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1;
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
std::string ConsoleText(std::string text) {
    return text;
}
#endif

class CaseFolder : public ::testing::TestWithParam<std::string> {};

TEST_P(CaseFolder, GivesItsExpectedOutcome) {
    const fs::path folder = fs::path(TOVAN_CASES) / GetParam();
#if defined(_WIN32)
    if (fs::exists(folder / "posix-only")) GTEST_SKIP() << ReadText(folder / "posix-only");
#endif
    const std::string args = WithoutFinalNewline(ReadText(folder / "args"));
    std::set<std::string> known = {"args",
                                   "status",
                                   "stderr",
                                   "stdout",
                                   "cells",
                                   "about.txt",
                                   "posix-only",
                                   "in",
                                   "out",
                                   "unchecked",
                                   "worked-by-hand.txt"};
    known.merge(NamedInputs(args));
    for (const std::string& name : NamesIn(folder))
        EXPECT_TRUE(known.count(name)) << name << ": a file the case driver does not know";
    for (const char* needed : {"status", "stderr"})
        EXPECT_TRUE(fs::exists(folder / needed)) << "the case gives no " << needed;

    tovan::testing::TempFolder out;
    const auto marked = [&](const std::string& text) {
        return Marked(Marked(text, out.path().string(), '%'), folder.string(), '@');
    };
    if (fs::is_directory(folder / "in")) fs::copy(folder / "in", out.path());
    tovan::testing::TempFolder streams; // beside the outputs, not among them
    const int status = RunTovandeck(Arguments(args, folder.string(), out.path().string()),
                                    streams / "stdout", streams / "stderr");
    const std::string err = ConsoleText(ReadText(streams / "stderr"));
    EXPECT_EQ(std::to_string(status), WithoutFinalNewline(ReadText(folder / "status"))) << err;
    EXPECT_EQ(marked(err), ReadText(folder / "stderr"));
    const std::string written = ConsoleText(ReadText(streams / "stdout"));
    if (fs::exists(folder / "stdout")) {
        EXPECT_EQ(written, ReadText(folder / "stdout"));
    }
    if (fs::exists(folder / "cells")) {
        EXPECT_EQ(FilledCells(written), ReadText(folder / "cells"));
    }
    const std::set<std::string> expected = NamesIn(folder / "out");
    for (const std::string& name : expected)
        EXPECT_EQ(ReadText(out / name), ReadText(folder / "out" / name)) << name;
    std::set<std::string> accounted = NamesIn(folder / "in");
    accounted.insert(expected.begin(), expected.end());
    accounted.merge(LinesOf(folder / "unchecked"));
    for (const std::string& name : NamesIn(out.path()))
        EXPECT_TRUE(accounted.count(name))
            << "wrote " << name << ", which the case does not expect";
}

INSTANTIATE_TEST_SUITE_P(Cases, CaseFolder, ::testing::ValuesIn(CaseNames()), [](const auto& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

} // namespace
