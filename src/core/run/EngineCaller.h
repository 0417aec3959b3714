// The one thing the run sequence needs from an engine: call it on four names, in a folder, and
// say whether the call could be made and ended normally. The desktop application and the
// command-line tool use HostEngineCaller (a child process); the tests use a fake.
#pragma once

#include "run/RunNames.h"

#include <filesystem>
#include <string>

namespace tovan::run {

struct EngineOutcome {
    bool finished = true;     // the entry point was called and returned
    std::string description;  // why not, in words for an error box; empty when finished
    bool interrupted = false; // stopped or timed out while running: its outputs are partial

    static EngineOutcome Finished() { return {}; }
    static EngineOutcome Failed(std::string why) { return {false, std::move(why)}; }
    static EngineOutcome Interrupted(std::string why) { return {false, std::move(why), true}; }
};

class EngineCaller {
  public:
    virtual ~EngineCaller() = default;
    // Calls the engine with the four bare names; `folder` is the working folder they resolve
    // against (the run sequence has also made it the process's current folder).
    virtual EngineOutcome call(const std::filesystem::path& folder, const EngineFiles& files) = 0;
};

} // namespace tovan::run
