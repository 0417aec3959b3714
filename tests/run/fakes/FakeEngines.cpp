// Stand-in engines for the tests of the engine call, built as separate libraries from this one
// file: FAKE_ENGINE_RECORD writes what it was given, FAKE_ENGINE_ABORT ends the process with a
// signal, FAKE_ENGINE_NO_ENTRY exports everything except the entry point.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

#if defined(FAKE_ENGINE_RECORD)
// Writes each name and its length to "engine-call.txt" in the working folder, one per line.
FAKE_EXPORT void TOVANF95(char* a, std::int32_t al, char* b, std::int32_t bl, char* c,
                          std::int32_t cl, char* d, std::int32_t dl) {
    std::FILE* out = std::fopen("engine-call.txt", "ab");
    if (out == nullptr) return;
    std::fprintf(out, "%s %d\n%s %d\n%s %d\n%s %d\n", a, al, b, bl, c, cl, d, dl);
    std::fclose(out);
}
#elif defined(FAKE_ENGINE_ABORT)
#if defined(_WIN32)
#include <windows.h>
#endif
FAKE_EXPORT void TOVANF95(char*, std::int32_t, char*, std::int32_t, char*, std::int32_t, char*,
                          std::int32_t) {
#if defined(_WIN32)
    // How Windows ends a process on an unhandled access violation, without the debugger that
    // a real one would call up.
    ::TerminateProcess(::GetCurrentProcess(), 0xC0000005);
#endif
    std::abort();
}
#elif defined(FAKE_ENGINE_NO_ENTRY)
FAKE_EXPORT void TOVANF77(char*, std::int32_t) {}
#endif
