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

namespace {

namespace fs = std::filesystem;

struct NamedFile {
    const char* role;
    const std::string* name;
};

bool SameFile(const fs::path& folder, const std::string& a, const std::string& b) {
    const fs::path pathA = (folder / a).lexically_normal(), pathB = (folder / b).lexically_normal();
    if (pathA == pathB) return true;
    std::error_code error;
    return fs::equivalent(pathA, pathB, error);
}

bool NamesScratchFile(const std::string& name) {
    return IsScratchFileName(fs::path(name).filename().string());
}

} // namespace

std::optional<std::string> FindNameClash(const fs::path& folder, const EngineFiles& files) {
    if (NamesScratchFile(files.input)) {
        return "The deck " + files.input +
               " has the name of a scratch file of the run, which is deleted after every run. "
               "Copy the deck to another name and run that.";
    }
    const NamedFile outputs[] = {
        {"report", &files.report}, {"DRELM", &files.drelm}, {"peak", &files.peak}};
    for (const NamedFile& output : outputs) {
        if (NamesScratchFile(*output.name)) {
            return std::string("The ") + output.role + " file name " + *output.name +
                   " is the name of a scratch file of the run, which is deleted after every run. "
                   "Choose another output name.";
        }
        if (SameFile(folder, *output.name, files.input)) {
            return std::string("The ") + output.role + " file " + *output.name +
                   " would overwrite the input deck. Choose another output name.";
        }
    }
    for (std::size_t i = 0; i < std::size(outputs); ++i) {
        for (std::size_t j = i + 1; j < std::size(outputs); ++j) {
            if (SameFile(folder, *outputs[i].name, *outputs[j].name)) {
                return std::string("The ") + outputs[i].role + " and " + outputs[j].role +
                       " files would both be " + *outputs[i].name + ". Choose other names.";
            }
        }
    }
    return std::nullopt;
}

} // namespace tovan::run
