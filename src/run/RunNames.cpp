#include "run/RunNames.h"

namespace tovan::run {

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string BaseName(std::string_view inputFile) {
    const bool hasThreeLetterExtension =
        inputFile.size() >= 4 && inputFile[inputFile.size() - 4] == '.';
    if (!hasThreeLetterExtension) return std::string(inputFile);
    return std::string(inputFile.substr(0, inputFile.size() - 4));
}

namespace {

std::string OrBase(std::string_view box, const std::string& base) {
    std::string name = TrimBlanks(box);
    return name.empty() ? base : name;
}

} // namespace

EngineFiles DeriveEngineFiles(std::string_view inputFile, std::string_view reportBox,
                              std::string_view drelmBox, std::string_view peakBox) {
    EngineFiles files;
    files.input = TrimBlanks(inputFile);
    const std::string base = BaseName(files.input);
    files.report = TrimBlanks(OrBase(reportBox, base) + std::string(kReportExtension));
    files.drelm = TrimBlanks(OrBase(drelmBox, base) + std::string(kDrelmExtension));
    files.peak =
        TrimBlanks(OrBase(peakBox, base) + std::string(kPeakInfix) + std::string(kDeckExtension));
    return files;
}

bool IsScratchFileName(std::string_view name) {
    return name.size() == kScratchPrefix.size() + 1 && name.starts_with(kScratchPrefix);
}

std::string FolderOfChosenFile(std::string_view fullName, std::string_view fileTitle) {
    if (fileTitle.size() >= fullName.size()) return {};
    return std::string(fullName.substr(0, fullName.size() - fileTitle.size() - 1));
}

} // namespace tovan::run
