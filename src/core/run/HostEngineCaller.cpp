#include "run/HostEngineCaller.h"

#include <system_error>

namespace tovan::run {

namespace fs = std::filesystem;

HostEngineCaller::HostEngineCaller(fs::path host, ChildOptions options)
    : host_(std::move(host)), options_(options) {
    // The child starts in another folder, so a relative helper path is fixed here.
    std::error_code ec;
    if (host_.has_parent_path()) host_ = fs::absolute(host_, ec);
}

fs::path HostEngineCaller::DefaultHost() {
#if defined(_WIN32)
    const fs::path nextToUs = ProgramFolder() / (std::string(kEngineHostName) + ".exe");
#else
    const fs::path nextToUs = ProgramFolder() / std::string(kEngineHostName);
#endif
    std::error_code ec;
    if (!ProgramFolder().empty() && fs::exists(nextToUs, ec)) return nextToUs;
    return fs::path(std::string(kEngineHostName)); // found on the search path, if anywhere
}

EngineOutcome HostEngineCaller::call(const fs::path& folder, const EngineFiles& files) {
    const ChildResult result =
        RunChild(host_, {files.input, files.report, files.drelm, files.peak}, folder, options_);
    return DescribeHostResult(result, host_, options_);
}

namespace {

std::string ShortSeconds(double seconds) {
    std::string text = std::to_string(seconds);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text + (text == "1" ? " second" : " seconds");
}

std::string TrimmedLines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

EngineOutcome DescribeHostResult(const ChildResult& result, const fs::path& host,
                                 const ChildOptions& options) {
    if (!result.started) {
        return EngineOutcome::Failed("The engine host " + host.string() +
                                     " could not be started: " + result.startError);
    }
    const std::string said = TrimmedLines(result.standardError);
    if (result.timedOut) {
        const auto seconds = options.timeout ? options.timeout->count() / 1000.0 : 0.0;
        return EngineOutcome::Interrupted("The engine did not finish within " +
                                          ShortSeconds(seconds) + " and was stopped.");
    }
    if (result.stopped) return EngineOutcome::Interrupted("The run was stopped.");
    if (!result.exited) {
        return EngineOutcome::Failed("The engine was ended by signal " +
                                     std::to_string(result.signal) + " (" + result.signalName +
                                     ")." + (said.empty() ? "" : "\n" + said));
    }
    if (result.exitStatus == kHostExitDone) return EngineOutcome::Finished();
    if (!said.empty()) return EngineOutcome::Failed(said);
    return EngineOutcome::Failed("The engine host ended with status " +
                                 std::to_string(result.exitStatus) + ".");
}

} // namespace tovan::run
