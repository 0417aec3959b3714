// One driver for the reference cases in tests/cases/<name>/: each folder holds its input, the
// tovandeck command line that uses it (file "args"), and the outcome it must give: the exit
// status ("status"), everything written to standard error ("stderr"), and optionally what was
// written to standard output ("stdout") and the saved deck ("out.tvi"). In "args" and "stderr",
// @ stands for the case's folder and % for a fresh output folder. A case whose standard output
// is a dump of the grids may give the record cells that must hold text ("cells", one line each:
// grid, row, column and the quoted text) instead of the whole dump; every other record cell
// must be empty. Adding a case is adding a folder.
#include "TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/wait.h>

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

class CaseFolder : public ::testing::TestWithParam<std::string> {};

TEST_P(CaseFolder, GivesItsExpectedOutcome) {
    const fs::path folder = fs::path(TOVAN_CASES) / GetParam();
    tovan::testing::TempFolder out;
    const std::string args =
        Replaced(Replaced(WithoutFinalNewline(ReadText(folder / "args")), '@', folder.string()),
                 '%', out.path().string());
    const std::string command = std::string(TOVANDECK) + " " + args + " >" +
                                (out / "stdout").string() + " 2>" + (out / "stderr").string();
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << command;
    const std::string err = ReadText(out / "stderr");
    EXPECT_EQ(std::to_string(WEXITSTATUS(raw)), WithoutFinalNewline(ReadText(folder / "status")))
        << err;
    const std::string expected = Replaced(
        Replaced(ReadText(folder / "stderr"), '@', folder.string()), '%', out.path().string());
    EXPECT_EQ(err, expected);
    if (fs::exists(folder / "stdout")) {
        EXPECT_EQ(ReadText(out / "stdout"), ReadText(folder / "stdout"));
    }
    if (fs::exists(folder / "cells")) {
        EXPECT_EQ(FilledCells(ReadText(out / "stdout")), ReadText(folder / "cells"));
    }
    if (fs::exists(folder / "out.tvi")) {
        EXPECT_EQ(ReadText(out / "out.tvi"), ReadText(folder / "out.tvi"));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CaseFolder, ::testing::ValuesIn(CaseNames()), [](const auto& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

} // namespace
