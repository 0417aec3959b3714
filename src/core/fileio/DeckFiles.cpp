#include "fileio/DeckFiles.h"

#include "fileio/SaveFile.h"

namespace tovan {

OpenFileResult CoreDeckFiles::open(ReadingContext& context) {
    return OpenFile(context);
}

std::int32_t CoreDeckFiles::save(const DeckGrids& grids, const std::string& path,
                                 Platform& platform) {
    return SaveFile(grids, path, platform);
}

} // namespace tovan
