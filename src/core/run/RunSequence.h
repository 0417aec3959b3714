// The run of the engine on a deck file, as the run form and `tovandeck run` perform it: the
// preliminary call with the scratch names (`KillBuffer`), the real call with the derived names,
// and the removal of the scratch files, reporting failures through the error boxes of the
// procedures that meet them.
#pragma once

#include "platform/Platform.h"
#include "run/EngineCaller.h"

#include <filesystem>
#include <functional>
#include <string>

namespace tovan::run {

inline constexpr std::string_view kKillBufferErrorTitle = "KillBuffer Error!";
inline constexpr std::string_view kRunErrorTitle = "cmdRun_Click Error!";
inline constexpr std::string_view kRunTitle = "TOVAN2000";
inline constexpr std::string_view kProgramCompleted = "Program Completed";
inline constexpr std::string_view kRunAnother = "Run another input file?";

struct RunRequest {
    std::filesystem::path folder; // the chosen deck's folder: the engine's working folder
    std::string inputFile;        // the deck's bare file name, as the dialog gave it
    std::string reportBox;        // the texts of the three optional boxes, as typed
    std::string drelmBox;
    std::string peakBox;
    // Told, before the engine starts, which existing files the run replaces (when it replaces
    // any): "The run replaces storm.tvo and storm.results.json."
    std::function<void(const std::string&)> tellReplaced = {};
};

struct RunResult {
    bool completed = false; // the real call returned and the scratch files are gone
    EngineFiles files;      // the names of the real call (set even when it failed)
};

// The preliminary call with the fixed scratch names. A failure is shown under "KillBuffer
// Error!" and is not passed on: the run goes on to the real call, which meets it again.
void KillBuffer(Platform& platform, EngineCaller& engine, const std::filesystem::path& folder);

// Deletes every "Killz__1.tv?" file of the folder; throws std::filesystem::filesystem_error
// when one cannot be deleted.
void DeleteScratchFiles(const std::filesystem::path& folder);

// Steps 1 to 11 of the run: busy cursor, KillBuffer, derived names, real call, normal cursor,
// scratch files deleted. A failure of the real call (or of the deletion) is shown under
// "cmdRun_Click Error!" and ends the run, leaving the scratch files where they are. The
// process's current folder is `request.folder` during the run and is restored afterwards.
RunResult RunEngine(Platform& platform, EngineCaller& engine, const RunRequest& request);

enum class AfterRun {
    Failed,     // the run ended on an error box; the form stays as it is
    RunAnother, // "Run another input file?" answered Yes: clear the inputs, stay open
    CloseForm,  // answered No: the run form closes
};

// The whole Run button: RunEngine, then "Program Completed" and "Run another input file?".
AfterRun cmdRun_Click(Platform& platform, EngineCaller& engine, const RunRequest& request);

// Makes a folder the process's current folder for its lifetime and restores the previous one,
// so that nothing outside the run depends on where the last deck was.
class ScopedWorkingFolder {
  public:
    explicit ScopedWorkingFolder(const std::filesystem::path& folder);
    ~ScopedWorkingFolder();
    ScopedWorkingFolder(const ScopedWorkingFolder&) = delete;
    ScopedWorkingFolder& operator=(const ScopedWorkingFolder&) = delete;

  private:
    std::filesystem::path previous_;
};

} // namespace tovan::run
