#include <cstdio>

#include "cli/Commands.h"

namespace tovan::cli {

int SlopeCommand(Arguments) {
    std::fputs("tovandeck slope: the slope calculator is not available in this build\n", stderr);
    return kExitUsage;
}

} // namespace tovan::cli
