// One driver for the reference cases in tests/cases/<name>/: each folder holds its input, the
// tovandeck command line that uses it (file "args"), and the outcome it must give: the exit
// status ("status"), everything written to standard error ("stderr"), and optionally what was
// written to standard output ("stdout") and the saved deck ("out.tvi"). In "args" and "stderr", @ stands for the case's folder and % for a fresh
// output folder. Adding a case is adding a folder.
#include "TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
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
