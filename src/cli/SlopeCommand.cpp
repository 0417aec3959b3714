// tovandeck slope: the slope calculator's arithmetic for scripts.
#include "cli/Commands.h"
#include "fortranio/NumericText.h"
#include "slope/CompositeSlope.h"

#include <cstdio>
#include <string>

namespace tovan::cli {

namespace {

constexpr const char* kHelp =
    "usage: tovandeck slope LENGTH SLOPE [LENGTH SLOPE ...]\n"
    "Computes the corrected slope of one to four segments (length in miles, measured slope in\n"
    "feet per foot) and their length-weighted composite, as the Build Slope calculator does.\n"
    "Prints one line per segment with its corrected slope, then 'composite N'.\n";

int Refuse(const std::string& why) {
    std::fprintf(stderr, "tovandeck slope: %s\n", why.c_str());
    return kExitUsage;
}

} // namespace

int SlopeCommand(Arguments args) {
    for (std::string_view a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return kExitClean;
        }
    }
    if (args.empty() || args.size() % 2 != 0) {
        std::fputs(kHelp, stderr);
        return kExitUsage;
    }
    if (args.size() > 2 * kSlopeSegments) return Refuse("at most four segments");
    for (std::string_view a : args) {
        if (!IsNumericText(a)) return Refuse("'" + std::string(a) + "' is not a number");
    }
    if (LeadingNumber(args[0]) <= 0) {
        return Refuse("The FIRST SEGMENT LENGTH must be greater than zero.");
    }
    std::array<SlopeSegment, kSlopeSegments> segments{};
    for (std::size_t i = 0; i < args.size() / 2; ++i) {
        segments[i] = {CorrectedSlopeText(args[2 * i + 1]), std::string(args[2 * i])};
        std::printf("%s\n", segments[i].correctedSlope.c_str());
    }
    const auto composite = CompositeSlopeText(segments);
    if (!composite) return Refuse("a negative corrected slope has no composite");
    std::printf("composite %s\n", composite->c_str());
    return kExitClean;
}

} // namespace tovan::cli
