// libFuzzer target over the whole read-and-save path: any bytes are read as a deck the way
// File > Open reads it, and whatever was read is run through the save pass, then the saved
// text is read and saved once more. Nothing may crash, hang or leak on the way.
#include "fileio/SaveFile.h"
#include "fileio/basFileRoutines.h"
#include "platform/RecordingPlatform.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

std::string ReadAndSave(std::string text) {
    tovan::DeckGrids grids;
    tovan::ReadingState state;
    tovan::ApplicationState app;
    tovan::RecordingPlatform platform;
    tovan::NoWindowsHost host;
    tovan::ReadingContext context{grids, state, app, platform};
    tovan::ReadDeck(context, host, tovan::DeckFromText(std::move(text)));
    return tovan::BuildDeckText(grids, platform).text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string saved = ReadAndSave(std::string(reinterpret_cast<const char*>(data), size));
    ReadAndSave(saved);
    return 0;
}
