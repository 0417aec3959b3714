#include "cli/Commands.h"

#include <cstdio>

namespace tovan::cli {

int RunCommand(Arguments) {
    std::fputs("tovandeck run: the engine run is not available in this build\n", stderr);
    return kExitUsage;
}

} // namespace tovan::cli
