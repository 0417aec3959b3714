// The engine library's entry points. `TOVANF95` is the contract every engine of Tovan2000
// honours: four names, each a pointer to single-byte text followed by its length as a 32-bit
// integer by value, resolved against the current folder, and nothing returned. `TOVANRUN` is
// this engine's own addition: the same names, and it also writes the results file for programs
// (`<report base>.results.json`) and says how the run ended, so that a caller can tell a run
// that wrote its files from one that could not.
#include "Engine.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>

#if defined(_WIN32)
#define TOVAN_EXPORT // exported undecorated through TOVAN.def
#define TOVAN_CALL __stdcall
#else
#define TOVAN_EXPORT __attribute__((visibility("default")))
#define TOVAN_CALL
#endif

namespace {

// The given length is trusted only as far as the text's terminator; trailing blanks, as a
// blank-padded caller would pass them, are not part of a name.
std::string NameOf(const char* text, std::int32_t length) {
    if (text == nullptr || length <= 0) return {};
    std::string name(text, ::strnlen(text, static_cast<std::size_t>(length)));
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

// The statuses of TOVANRUN.
constexpr std::int32_t kRunDone = 0;
constexpr std::int32_t kRunNoInput = 1;
constexpr std::int32_t kRunOutputFailed = 2;
constexpr std::int32_t kRunInternalError = 3;

void Tell(char* message, std::int32_t capacity, const std::string& text) {
    if (message == nullptr || capacity <= 0) return;
    const auto n = std::min(text.size(), static_cast<std::size_t>(capacity - 1));
    std::memcpy(message, text.data(), n);
    message[n] = '\0';
}

} // namespace

extern "C" TOVAN_EXPORT void TOVAN_CALL TOVANF95(char* input, std::int32_t inputLength,
                                                 char* report, std::int32_t reportLength,
                                                 char* drelm, std::int32_t drelmLength, char* peak,
                                                 std::int32_t peakLength) {
    try {
        // A missing input deck (the preliminary call's scratch name) is not an error: the
        // engine returns without writing anything. A run whose outputs cannot be written
        // leaves none of them; this entry has no way to say more.
        tovan::engine::RunDeckFile(NameOf(input, inputLength), NameOf(report, reportLength),
                                   NameOf(drelm, drelmLength), NameOf(peak, peakLength));
    } catch (const std::exception&) {
        // Nothing may cross the C boundary.
    } catch (...) {
    }
}

// Called after each catchment with the number done and the number in the deck.
using TovanProgress = void (*)(std::int32_t done, std::int32_t total, void* context);

// Returns 0 when every file was written, 1 when the input deck cannot be opened (nothing is
// written), 2 when an output could not be written (none is left), 3 on an internal error; for
// 1 to 3 `message` (of `messageCapacity` bytes, terminator included) receives the reason.
// `progress`, when not null, is called after each catchment with `context`.
extern "C" TOVAN_EXPORT std::int32_t TOVAN_CALL
TOVANRUN(char* input, std::int32_t inputLength, char* report, std::int32_t reportLength,
         char* drelm, std::int32_t drelmLength, char* peak, std::int32_t peakLength, char* message,
         std::int32_t messageCapacity, TovanProgress progress, void* context) {
    using namespace tovan::engine;
    Tell(message, messageCapacity, "");
    try {
        RunFiles files{NameOf(input, inputLength),
                       NameOf(report, reportLength),
                       NameOf(drelm, drelmLength),
                       NameOf(peak, peakLength),
                       {}};
        files.results = ResultsFileName(files.report);
        ProgressFunction tell;
        if (progress != nullptr) {
            tell = [progress, context](std::size_t done, std::size_t total) {
                progress(static_cast<std::int32_t>(done), static_cast<std::int32_t>(total),
                         context);
            };
        }
        const RunResult result = RunDeck(files, tell);
        Tell(message, messageCapacity, result.message);
        switch (result.status) {
        case RunStatus::Done:
            return kRunDone;
        case RunStatus::NoInput:
            return kRunNoInput;
        case RunStatus::OutputFailed:
            return kRunOutputFailed;
        }
        return kRunInternalError;
    } catch (const std::exception& e) {
        Tell(message, messageCapacity, std::string("The engine failed: ") + e.what());
    } catch (...) {
        Tell(message, messageCapacity, "The engine failed.");
    }
    return kRunInternalError;
}
