// Calls the engine through the helper program tovan-engine-host, started as a child process
// in the deck's folder: whatever the engine does (a missing library, a crash, a kill), the
// program that started the run goes on and reports it.
#pragma once

#include "run/ChildProcess.h"
#include "run/EngineCaller.h"

#include <filesystem>
#include <string>

namespace tovan::run {

// The helper's command line is its four names, in the engine's argument order. It ends with
// one of these statuses, writing the reason to its standard error.
inline constexpr std::string_view kEngineHostName = "tovan-engine-host";
inline constexpr int kHostExitDone = 0;
inline constexpr int kHostExitNoLibrary = 10;
inline constexpr int kHostExitNoEntryPoint = 11;
inline constexpr int kHostExitUsage = 12;
// The engine ran but could not write its outputs (a folder that is missing or not writable, a
// full disk, a name too long); it left none of them, and the reason is on standard error.
inline constexpr int kHostExitEngineFailed = 13;

class HostEngineCaller : public EngineCaller {
  public:
    // Uses the helper at `host`; with no path given, the one in the running program's folder,
    // or, when there is none, the first on the search path.
    explicit HostEngineCaller(std::filesystem::path host = DefaultHost(),
                              ChildOptions options = {});

    EngineOutcome call(const std::filesystem::path& folder, const EngineFiles& files) override;

    static std::filesystem::path DefaultHost();

  private:
    std::filesystem::path host_;
    ChildOptions options_;
};

// Words for the error box from what the helper's process did.
EngineOutcome DescribeHostResult(const ChildResult& result, const std::filesystem::path& host,
                                 const ChildOptions& options = {});

} // namespace tovan::run
