// Loading the engine library and finding its entry point: the only place that knows the
// system's dynamic loader.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tovan::host {

// The engine's entry point. On 32-bit Windows the callee removes its arguments (stdcall); on
// every other platform there is one C calling convention.
#if defined(_WIN32)
#define TOVAN_ENGINE_CALL __stdcall
#else
#define TOVAN_ENGINE_CALL
#endif
using EntryPoint = void(TOVAN_ENGINE_CALL*)(char*, std::int32_t, char*, std::int32_t, char*,
                                            std::int32_t, char*, std::int32_t);

inline constexpr const char* kEntryName = "TOVANF95";

// This engine's own entry point: the same names and, after them, a buffer for the reason and
// its size and a progress function (called after each catchment) with its context; it also
// writes the results file and returns 0 when done, 1 when the input cannot be opened, 2 when an
// output could not be written and 3 on an internal error. An engine without it is called
// through kEntryName.
using ProgressFunction = void (*)(std::int32_t done, std::int32_t total, void* context);
using RunEntryPoint = std::int32_t(TOVAN_ENGINE_CALL*)(char*, std::int32_t, char*, std::int32_t,
                                                       char*, std::int32_t, char*, std::int32_t,
                                                       char*, std::int32_t, ProgressFunction,
                                                       void*);
inline constexpr const char* kRunEntryName = "TOVANRUN";
inline constexpr std::int32_t kRunDone = 0;
inline constexpr std::int32_t kRunNoInput = 1;

// "libTOVAN.so", "TOVAN.dll" or "libTOVAN.dylib".
const char* LibraryFileName();

struct Loaded {
    EntryPoint entry = nullptr;
    RunEntryPoint runEntry = nullptr; // null when the library does not have it
    std::string error;                // the loader's words when entry is null
    bool libraryFound = false;
};

// Looks for the library in `programFolder` first and then by bare name on the system's
// library search path; then resolves the entry point. The library stays loaded until exit.
Loaded LoadEngine(const std::filesystem::path& programFolder);

} // namespace tovan::host
