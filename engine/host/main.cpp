// tovan-engine-host INPUT REPORT DRELM PEAK
//
// Loads the engine library TOVAN and calls it once with the four names, in the current folder:
// through its entry point TOVANRUN when it has one (which also writes the results file and says
// whether the outputs could be written), else through TOVANF95. The editor starts this program
// instead of loading the engine itself, so that an engine that crashes or never loads cannot take
// the editor and its unsaved deck with it. The exit status and the text on standard error tell the
// caller what happened.
#include "EngineLibrary.h"
#include "run/ChildProcess.h"
#include "run/HostEngineCaller.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <cstdint>
#include <fcntl.h>
#include <io.h>
#define TOVAN_WRITE _write
#else
#include <unistd.h>
#define TOVAN_WRITE ::write
#endif

namespace {

// A writable single-byte copy with its terminator, as the engine may write into it.
std::vector<char> Buffer(const char* text) {
    std::string s(text);
    return std::vector<char>(s.c_str(), s.c_str() + s.size() + 1);
}

std::int32_t LengthOf(const std::vector<char>& buffer) {
    return static_cast<std::int32_t>(buffer.size() - 1);
}

// 1234567 as "1,234,567".
std::string Grouped(std::int32_t value) {
    std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<std::size_t>(i), ",");
    return digits;
}

struct ProgressChannel {
    int fd = -1;
    std::chrono::steady_clock::time_point last{};
};

void TellProgress(std::int32_t done, std::int32_t total, void* context) {
    auto* channel = static_cast<ProgressChannel*>(context);
    const auto now = std::chrono::steady_clock::now();
    if (done != total && now - channel->last < std::chrono::milliseconds(200)) return;
    channel->last = now;
    const std::string line = "Catchment " + Grouped(done) + " of " + Grouped(total) + "\n";
    // A reader that went away costs the run nothing: the result is not needed.
    [[maybe_unused]] const auto written =
        TOVAN_WRITE(channel->fd, line.data(), static_cast<unsigned>(line.size()));
}

// The progress pipe named by TOVAN_PROGRESS_FD as a descriptor, or -1. On POSIX the variable
// holds the descriptor's number; on Windows the value of an inherited pipe handle, which the C
// runtime takes on as a descriptor of its own.
int ProgressDescriptor() {
    const char* text = std::getenv("TOVAN_PROGRESS_FD");
    if (text == nullptr || *text == '\0') return -1;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (*end != '\0') return -1;
#if defined(_WIN32)
    if (value == 0) return -1;
    return _open_osfhandle(static_cast<std::intptr_t>(value), _O_WRONLY | _O_BINARY);
#else
    return value > 2 && value < 65536 ? static_cast<int>(value) : -1;
#endif
}

} // namespace

int main(int argc, char** argv) {
    using namespace tovan;
    if (argc != 5) {
        std::fputs("usage: tovan-engine-host INPUT REPORT DRELM PEAK\n", stderr);
        return run::kHostExitUsage;
    }
    const host::Loaded loaded = host::LoadEngine(run::ProgramFolder());
    if (!loaded.libraryFound) {
        std::fprintf(stderr, "The engine library %s could not be loaded: %s\n",
                     host::LibraryFileName(), loaded.error.c_str());
        return run::kHostExitNoLibrary;
    }
    if (loaded.entry == nullptr) {
        std::fprintf(stderr, "The engine library %s has no entry point %s: %s\n",
                     host::LibraryFileName(), host::kEntryName, loaded.error.c_str());
        return run::kHostExitNoEntryPoint;
    }
    std::vector<char> input = Buffer(argv[1]), report = Buffer(argv[2]);
    std::vector<char> drelm = Buffer(argv[3]), peak = Buffer(argv[4]);
    if (loaded.runEntry == nullptr) {
        loaded.entry(input.data(), LengthOf(input), report.data(), LengthOf(report), drelm.data(),
                     LengthOf(drelm), peak.data(), LengthOf(peak));
        return run::kHostExitDone;
    }
    std::vector<char> message(4096, '\0');
    ProgressChannel channel{ProgressDescriptor()};
    const std::int32_t status =
        loaded.runEntry(input.data(), LengthOf(input), report.data(), LengthOf(report),
                        drelm.data(), LengthOf(drelm), peak.data(), LengthOf(peak), message.data(),
                        static_cast<std::int32_t>(message.size()),
                        channel.fd >= 0 ? TellProgress : nullptr, &channel);
    // A missing input deck is the preliminary call's normal case: nothing to write, no failure.
    if (status == host::kRunDone || status == host::kRunNoInput) return run::kHostExitDone;
    std::fprintf(stderr, "%s\n",
                 message[0] != '\0' ? message.data() : "The engine could not write its outputs.");
    return run::kHostExitEngineFailed;
}
