// libFuzzer target over the whole read-and-save path: any bytes are read as a deck the way
// File > Open reads it, and whatever was read is run through the save pass. Nothing may crash,
// hang or leak on the way, and the save's promise must hold: whatever deck the save writes reads
// back to grids that save to the same text (save, read, save is a fixed point), and a deck
// saved without a warning about what it cannot hold saves again without one.
#include "fileio/SaveFile.h"
#include "fileio/basFileRoutines.h"
#include "platform/RecordingPlatform.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

tovan::DeckText ReadAndSave(std::string text) {
    tovan::DeckGrids grids;
    tovan::ReadingState state;
    tovan::ApplicationState app;
    tovan::RecordingPlatform platform;
    tovan::ReadingContext context{grids, state, app, platform};
    tovan::ReadDeck(context, tovan::DeckFromText(std::move(text)));
    return tovan::BuildDeckText(grids, platform);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tovan::DeckText first =
        ReadAndSave(std::string(reinterpret_cast<const char*>(data), size));
    if (first.fatal || first.error != 0) return 0;
    const tovan::DeckText second = ReadAndSave(first.text);
    if (second.fatal || second.text != first.text ||
        (first.losses.empty() && !second.losses.empty())) {
        std::fprintf(stderr, "saved without a warning, but did not read back:\n%s\n---\n%s\n",
                     first.text.c_str(), second.text.c_str());
        std::abort();
    }
    return 0;
}
