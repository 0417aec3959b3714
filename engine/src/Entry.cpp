// The engine library's one entry point. Its argument list is the contract every engine of
// Tovan2000 honours: four names, each a pointer to single-byte text followed by its length as
// a 32-bit integer by value. The names are resolved against the current folder.
#include "Engine.h"

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

} // namespace

extern "C" TOVAN_EXPORT void TOVAN_CALL TOVANF95(char* input, std::int32_t inputLength,
                                                 char* report, std::int32_t reportLength,
                                                 char* drelm, std::int32_t drelmLength, char* peak,
                                                 std::int32_t peakLength) {
    try {
        // A missing input deck (the preliminary call's scratch name) is not an error: the
        // engine returns without writing anything.
        tovan::engine::RunDeckFile(NameOf(input, inputLength), NameOf(report, reportLength),
                                   NameOf(drelm, drelmLength), NameOf(peak, peakLength));
    } catch (const std::exception&) {
        // Nothing may cross the C boundary; the report written so far is what the user gets.
    } catch (...) {
    }
}
