#include "run/RunSequence.h"

#include "results/RunResults.h"
#include "run/RunNames.h"

#include <exception>
#include <optional>
#include <set>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace tovan::run {

namespace fs = std::filesystem;

// The folder we were in may have gone (a deck's folder deleted after a run left us there):
// then there is nothing to go back to, and the run goes on all the same.
ScopedWorkingFolder::ScopedWorkingFolder(const fs::path& folder) {
    std::error_code gone;
    previous_ = fs::current_path(gone);
    if (!folder.empty()) fs::current_path(folder);
}

ScopedWorkingFolder::~ScopedWorkingFolder() {
    std::error_code ignored; // the previous folder may have gone; nothing sensible to do then
    if (!previous_.empty()) fs::current_path(previous_, ignored);
}

void KillBuffer(Platform& platform, EngineCaller& engine, const fs::path& folder) {
    const EngineOutcome outcome = engine.call(folder, kScratchFiles);
    if (!outcome.finished) {
        platform.showMessage(outcome.description, MessageIcon::Exclamation, kKillBufferErrorTitle);
    }
}

void DeleteScratchFiles(const fs::path& folder) {
    std::vector<fs::path> found;
    const fs::path where = folder.empty() ? fs::path(".") : folder;
    for (const fs::directory_entry& entry : fs::directory_iterator(where)) {
        if (IsScratchFileName(entry.path().filename().string())) found.push_back(entry.path());
    }
    for (const fs::path& path : found)
        fs::remove(path);
}

namespace {

// The real call and the clean-up; throws on a failure that ends the run.
struct RunFailure {
    std::string description;
};

// Our engine writes each output under a hidden name of this form until all are complete.
bool IsEngineWorkFile(const std::string& name) {
    return name.starts_with(".tovan-") && name.ends_with(".part");
}

// What the folder held of a run's files before the run: each output's time and size (or its
// absence), and the engine's work files. A file's time alone cannot tell: the file system's
// clock ticks coarsely, and an output written just after the run began can carry an earlier time.
class FilesBeforeRun {
  public:
    FilesBeforeRun(const fs::path& folder, const EngineFiles& files) : folder_(folder) {
        for (const RunOutput& output : OutputsOf(files))
            outputs_.emplace_back(output.name, stamp(folder / output.name));
        for (const fs::path& work : workFiles())
            earlierWork_.insert(work.filename().string());
    }

    // An interrupted engine leaves files that look like results and are not: every output, work
    // file and scratch file this run wrote goes. Outputs it had not touched yet are earlier,
    // complete results and stay.
    std::string removeWhatTheRunWrote() const {
        std::error_code error;
        for (const auto& [name, before] : outputs_) {
            const auto now = stamp(folder_ / name);
            if (now && now != before) fs::remove(folder_ / name, error);
        }
        for (const fs::path& work : workFiles())
            if (!earlierWork_.count(work.filename().string())) fs::remove(work, error);
        DeleteScratchFiles(folder_);
        return " Its partial output files were removed.";
    }

  private:
    // The file's time and size and, where the system has one, its file number: the engine puts
    // each complete output in place by a rename, so a file it wrote is a new file.
    using Stamp = std::optional<std::tuple<fs::file_time_type, std::uintmax_t, std::uintmax_t>>;

    static Stamp stamp(const fs::path& file) {
        std::error_code error;
        const auto time = fs::last_write_time(file, error);
        if (error) return std::nullopt;
        const auto size = fs::file_size(file, error);
        if (error) return std::nullopt;
        std::uintmax_t number = 0;
#if !defined(_WIN32)
        struct stat status {};
        if (::stat(file.c_str(), &status) == 0) number = static_cast<std::uintmax_t>(status.st_ino);
#endif
        return std::tuple{time, size, number};
    }
    std::vector<fs::path> workFiles() const {
        std::vector<fs::path> found;
        std::error_code error;
        for (const auto& entry :
             fs::directory_iterator(folder_.empty() ? fs::path(".") : folder_, error))
            if (IsEngineWorkFile(entry.path().filename().string())) found.push_back(entry.path());
        return found;
    }

    fs::path folder_;
    std::vector<std::pair<std::string, Stamp>> outputs_;
    std::set<std::string> earlierWork_;
};

void CallAndClean(Platform& platform, EngineCaller& engine, const RunRequest& request,
                  const EngineFiles& files) {
    EngineOutcome outcome;
    const FilesBeforeRun before(request.folder, files);
    {
        BusyCursor busy(platform);
        KillBuffer(platform, engine, request.folder);
        outcome = engine.call(request.folder, files);
    }
    if (outcome.interrupted) {
        throw RunFailure{outcome.description + before.removeWhatTheRunWrote()};
    }
    if (!outcome.finished) throw RunFailure{outcome.description};
    DeleteScratchFiles(request.folder);
}

} // namespace

RunResult RunEngine(Platform& platform, EngineCaller& engine, const RunRequest& request) {
    RunResult result;
    result.files =
        DeriveEngineFiles(request.inputFile, request.reportBox, request.drelmBox, request.peakBox);
    auto refusal = FindNameClash(request.folder, result.files);
    if (!refusal) refusal = FindUnwritableOutput(request.folder, result.files);
    if (refusal) {
        platform.showMessage(*refusal, MessageIcon::Exclamation, kRunErrorTitle);
        return result;
    }
    const std::string replaced = ReplacedOutputsText(ReplacedOutputs(request.folder, result.files));
    if (!replaced.empty() && request.tellReplaced) request.tellReplaced(replaced);
    try {
        // Fixed before the switch: a relative folder would mean something else inside itself.
        RunRequest absolute = request;
        if (!absolute.folder.empty()) absolute.folder = fs::absolute(request.folder);
        ScopedWorkingFolder inDeckFolder(absolute.folder);
        CallAndClean(platform, engine, absolute, result.files);
        result.completed = true;
    } catch (const RunFailure& failure) {
        platform.showMessage(failure.description, MessageIcon::Exclamation, kRunErrorTitle);
    } catch (const std::exception& error) {
        platform.showMessage(error.what(), MessageIcon::Exclamation, kRunErrorTitle);
    }
    return result;
}

AfterRun cmdRun_Click(Platform& platform, EngineCaller& engine, const RunRequest& request) {
    const RunResult result = RunEngine(platform, engine, request);
    if (!result.completed) return AfterRun::Failed;
    // What the engine could not compute is said beside the message, never instead of it.
    const std::string notComputed =
        results::NotComputedText(ResultsFileOf(request.folder, result.files.report));
    if (notComputed.empty()) {
        platform.showMessage(kProgramCompleted, MessageIcon::None, kRunTitle);
    } else {
        platform.showDetailedMessage(kProgramCompleted, notComputed, MessageIcon::None, kRunTitle);
    }
    const Answer answer = platform.askYesNo(kRunAnother, MessageIcon::None, kRunTitle);
    return answer == Answer::Yes ? AfterRun::RunAnother : AfterRun::CloseForm;
}

} // namespace tovan::run
