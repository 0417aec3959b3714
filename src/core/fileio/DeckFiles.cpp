#include "fileio/SaveFile.h"
#include "fileio/DeckFiles.h"

namespace tovan {

void CoreDeckFiles::open(ReadingContext& context, OpenFileHost& host) {
    OpenFile(context, host);
}

std::int32_t CoreDeckFiles::save(const DeckGrids& grids, const std::string& path,
                                 Platform& platform) {
    return SaveFile(grids, path, platform);
}

} // namespace tovan
