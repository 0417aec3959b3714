#include "EngineLibrary.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tovan::host {

namespace fs = std::filesystem;

const char* LibraryFileName() {
#if defined(_WIN32)
    return "TOVAN.dll";
#elif defined(__APPLE__)
    return "libTOVAN.dylib";
#else
    return "libTOVAN.so";
#endif
}

namespace {

#if defined(_WIN32)
using Handle = HMODULE;
Handle Open(const std::string& name) {
    return ::LoadLibraryA(name.c_str());
}
void* Symbol(Handle h, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(h, name));
}
std::string LastError() {
    return "system error " + std::to_string(::GetLastError());
}
#else
using Handle = void*;
Handle Open(const std::string& name) {
    return ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* Symbol(Handle h, const char* name) {
    return ::dlsym(h, name);
}
std::string LastError() {
    const char* why = ::dlerror();
    return why != nullptr ? why : "unknown reason";
}
#endif

} // namespace

Loaded LoadEngine(const fs::path& programFolder) {
    Loaded loaded;
    Handle handle = nullptr;
    std::string firstError;
    std::error_code ec;
    const fs::path local = programFolder / LibraryFileName();
    if (!programFolder.empty() && fs::exists(local, ec)) {
        handle = Open(local.string());
        if (handle == nullptr) firstError = LastError();
    }
    if (handle == nullptr) handle = Open(LibraryFileName());
    if (handle == nullptr) {
        loaded.error = firstError.empty() ? LastError() : firstError;
        return loaded;
    }
    loaded.libraryFound = true;
    void* symbol = Symbol(handle, kEntryName);
    if (symbol == nullptr) {
        loaded.error = LastError();
        return loaded;
    }
    loaded.entry = reinterpret_cast<EntryPoint>(symbol);
    loaded.runEntry = reinterpret_cast<RunEntryPoint>(Symbol(handle, kRunEntryName));
    return loaded;
}

} // namespace tovan::host
