// libFuzzer target over the grids document, the content of a recovery file (and of
// `tovandeck save`): any bytes are parsed as the desktop parses a recovery file and, when they
// hold grids, the grids are filled and saved. Nothing may crash, hang or throw; grids that are
// refused leave no half-filled grid to save.
#include "fileio/GridJson.h"
#include "fileio/SaveFile.h"
#include "platform/RecordingPlatform.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto document = nlohmann::json::parse(data, data + size, nullptr, false);
    if (document.is_discarded()) return 0;
    tovan::DeckGrids grids;
    tovan::RecordingPlatform platform;
    if (tovan::GridsFromJson(document, grids, platform)) return 0;
    (void)tovan::BuildDeckText(grids, platform);
    return 0;
}
