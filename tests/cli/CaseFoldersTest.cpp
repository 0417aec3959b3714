// One driver for the reference cases in tests/cases/<name>/: each folder holds its input, the
// tovandeck command line that uses it (file "args"), and the outcome it must give: the exit
// status ("status"), everything written to standard error ("stderr"), and optionally what was
// written to standard output ("stdout"). In "args" and "stderr", @ stands for the case's
// folder and % for a fresh output folder. The files of the case's "in" folder are
// copied to the output folder first (a run writes next to its deck), and each file of its
// "out" folder must be found there with the same bytes (a saved deck, a run's outputs). A case
// whose standard output is a dump of the grids may give the record cells that must hold text
// ("cells", one line each: grid, row, column and the quoted text) instead of the whole dump;
// every other record cell must be empty. A case holding "posix-only" is skipped on Windows.
// Adding a case is adding a folder.
#include "TempFolder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#if !defined(_WIN32)
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

// On Windows std::system gives the command's exit status itself, and the console streams end
// their lines with CR LF.
#if defined(_WIN32)
int ExitStatus(int raw) {
    return raw;
}
std::string ConsoleText(std::string text) {
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}
std::string Native(const fs::path& path) {
    return fs::path(path).make_preferred().string();
}
#else
int ExitStatus(int raw) {
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}
std::string ConsoleText(std::string text) {
    return text;
}
std::string Native(const fs::path& path) {
    return path.string();
}
#endif

class CaseFolder : public ::testing::TestWithParam<std::string> {};

TEST_P(CaseFolder, GivesItsExpectedOutcome) {
    const fs::path folder = fs::path(TOVAN_CASES) / GetParam();
#if defined(_WIN32)
    if (fs::exists(folder / "posix-only")) GTEST_SKIP() << ReadText(folder / "posix-only");
#endif
    tovan::testing::TempFolder out;
    const auto placed = [&](const std::string& text) {
        return Replaced(Replaced(text, '@', folder.string()), '%', out.path().string());
    };
    if (fs::is_directory(folder / "in")) fs::copy(folder / "in", out.path());
    const std::string command = Native(TOVANDECK) + " " +
                                placed(WithoutFinalNewline(ReadText(folder / "args"))) + " >" +
                                Native(out / "stdout") + " 2>" + Native(out / "stderr");
    const int status = ExitStatus(std::system(command.c_str()));
    const std::string err = ConsoleText(ReadText(out / "stderr"));
    EXPECT_EQ(std::to_string(status), WithoutFinalNewline(ReadText(folder / "status"))) << err;
    EXPECT_EQ(err, placed(ReadText(folder / "stderr")));
    const std::string written = ConsoleText(ReadText(out / "stdout"));
    if (fs::exists(folder / "stdout")) {
        EXPECT_EQ(written, ReadText(folder / "stdout"));
    }
    if (fs::exists(folder / "cells")) {
        EXPECT_EQ(FilledCells(written), ReadText(folder / "cells"));
    }
    if (!fs::is_directory(folder / "out")) return;
    for (const auto& expected : fs::directory_iterator(folder / "out")) {
        const std::string name = expected.path().filename().string();
        EXPECT_EQ(ReadText(out / name), ReadText(expected.path())) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CaseFolder, ::testing::ValuesIn(CaseNames()), [](const auto& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

} // namespace
