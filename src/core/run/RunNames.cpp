#include "run/RunNames.h"

#include "platform/FilePath.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

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

// As an "open for output" of this user would find it.
bool MayWrite(const fs::path& path) {
#if defined(_WIN32)
    std::error_code error;
    const fs::perms perms = fs::status(path, error).permissions();
    return !error && (perms & fs::perms::owner_write) != fs::perms::none;
#else
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
#endif
}

bool NamesScratchFile(const std::string& name) {
    return IsScratchFileName(fs::path(name).filename().string());
}

} // namespace

std::string ResultsFileName(std::string_view report) {
    const std::size_t slash = report.find_last_of("/\\");
    const std::size_t dot = report.find_last_of('.');
    const bool hasExtension =
        dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
    return std::string(hasExtension ? report.substr(0, dot) : report) + ".results.json";
}

std::filesystem::path ResultsFileOf(const std::filesystem::path& folder, std::string_view report) {
    return folder / PathFromText(ResultsFileName(report));
}

std::vector<RunOutput> OutputsOf(const EngineFiles& files) {
    return {{"report", files.report},
            {"DRELM", files.drelm},
            {"peak", files.peak},
            {"results", ResultsFileName(files.report)}};
}

std::optional<std::string> FindUnwritableOutput(const fs::path& folder, const EngineFiles& files) {
    for (const RunOutput& output : OutputsOf(files)) {
        const fs::path path = folder / output.name;
        std::error_code error;
        const fs::file_status link = fs::symlink_status(path, error);
        if (!fs::exists(link)) continue;
        const std::string named = std::string("The ") + output.role + " file " + output.name;
        if (fs::is_symlink(link))
            return named + " is a symbolic link, which the run would replace with a file of its "
                           "own. Choose another output name.";
        if (!fs::is_regular_file(link))
            return named + " is a folder, pipe or device, not a file. Choose another output name.";
        if (!MayWrite(path))
            return named + " may not be written by you. Choose another output name.";
    }
    return std::nullopt;
}

std::vector<std::string> ReplacedOutputs(const fs::path& folder, const EngineFiles& files) {
    std::vector<std::string> replaced;
    for (const RunOutput& output : OutputsOf(files)) {
        std::error_code error;
        if (fs::exists(fs::symlink_status(folder / output.name, error)))
            replaced.push_back(output.name);
    }
    return replaced;
}

std::string ReplacedOutputsText(const std::vector<std::string>& names) {
    if (names.empty()) return {};
    std::string text = "The run replaces ";
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text + ".";
}

std::optional<std::string> FindNameClash(const fs::path& folder, const EngineFiles& files) {
    if (NamesScratchFile(files.input)) {
        return "The deck " + files.input +
               " has the name of a scratch file of the run, which is deleted after every run. "
               "Copy the deck to another name and run that.";
    }
    const std::string results = ResultsFileName(files.report);
    const NamedFile outputs[] = {{"report", &files.report},
                                 {"DRELM", &files.drelm},
                                 {"peak", &files.peak},
                                 {"results", &results}};
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
