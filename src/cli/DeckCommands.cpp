#include <cstdio>

#include "cli/Commands.h"

namespace tovan::cli {

namespace {

int NotYet(const char* name) {
    std::fprintf(stderr, "tovandeck %s: not available in this build\n", name);
    return kExitUsage;
}

} // namespace

int CheckCommand(Arguments) { return NotYet("check"); }
int FormatCommand(Arguments) { return NotYet("format"); }
int DumpCommand(Arguments) { return NotYet("dump"); }
int SaveCommand(Arguments) { return NotYet("save"); }

} // namespace tovan::cli
