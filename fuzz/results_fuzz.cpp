// libFuzzer target over the results reader: any bytes are read as a results file the way the
// results window and `tovandeck results` read one. A file that is not one must be refused with
// a ResultsError; nothing may crash, hang, leak or escape as another exception, and whatever is
// accepted must be something the summary and its CSV can be built from.
#include "results/RunResults.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const tovan::results::RunResults run = tovan::results::ParseResults(
            std::string_view(reinterpret_cast<const char*>(data), size));
        (void)tovan::results::SummaryCsv(run);
        for (const auto& catchment : run.catchments)
            for (const auto& storm : catchment.storms)
                (void)tovan::results::HydrographCsv(storm);
    } catch (const tovan::results::ResultsError&) {
    }
    return 0;
}
