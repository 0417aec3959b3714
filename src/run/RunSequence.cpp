#include "run/RunSequence.h"

#include <exception>
#include <system_error>
#include <vector>

namespace tovan::run {

namespace fs = std::filesystem;

ScopedWorkingFolder::ScopedWorkingFolder(const fs::path& folder) : previous_(fs::current_path()) {
    if (!folder.empty()) fs::current_path(folder);
}

ScopedWorkingFolder::~ScopedWorkingFolder() {
    std::error_code ignored; // the previous folder may have gone; nothing sensible to do then
    fs::current_path(previous_, ignored);
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

// An interrupted engine leaves files that look like results and are not: every output, work
// file and scratch file it wrote during this run goes. Files it had not touched yet are
// earlier, complete results and stay.
std::string RemovePartialOutputs(const fs::path& folder, const EngineFiles& files,
                                 fs::file_time_type runStart) {
    std::error_code error;
    const auto writtenSinceStart = [&](const fs::path& file) {
        return fs::last_write_time(file, error) >= runStart && !error;
    };
    for (const std::string* name : {&files.report, &files.drelm, &files.peak}) {
        if (writtenSinceStart(folder / *name)) fs::remove(folder / *name, error);
    }
    for (const auto& entry :
         fs::directory_iterator(folder.empty() ? fs::path(".") : folder, error)) {
        if (IsEngineWorkFile(entry.path().filename().string()) && writtenSinceStart(entry.path()))
            fs::remove(entry.path(), error);
    }
    DeleteScratchFiles(folder);
    return " Its partial output files were removed.";
}

void CallAndClean(Platform& platform, EngineCaller& engine, const RunRequest& request,
                  const EngineFiles& files) {
    EngineOutcome outcome;
    const auto runStart = fs::file_time_type::clock::now();
    {
        BusyCursor busy(platform);
        KillBuffer(platform, engine, request.folder);
        outcome = engine.call(request.folder, files);
    }
    if (outcome.interrupted) {
        throw RunFailure{outcome.description +
                         RemovePartialOutputs(request.folder, files, runStart)};
    }
    if (!outcome.finished) throw RunFailure{outcome.description};
    DeleteScratchFiles(request.folder);
}

} // namespace

RunResult RunEngine(Platform& platform, EngineCaller& engine, const RunRequest& request) {
    RunResult result;
    result.files =
        DeriveEngineFiles(request.inputFile, request.reportBox, request.drelmBox, request.peakBox);
    if (const auto clash = FindNameClash(request.folder, result.files)) {
        platform.showMessage(*clash, MessageIcon::Exclamation, kRunErrorTitle);
        return result;
    }
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
    if (!RunEngine(platform, engine, request).completed) return AfterRun::Failed;
    platform.showMessage(kProgramCompleted, MessageIcon::None, kRunTitle);
    const Answer answer = platform.askYesNo(kRunAnother, MessageIcon::None, kRunTitle);
    return answer == Answer::Yes ? AfterRun::RunAnother : AfterRun::CloseForm;
}

} // namespace tovan::run
