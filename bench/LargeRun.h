// The engine's results of a large benchmark deck, run once in a temporary folder of the
// benchmark's own and kept for later runs of the benchmark.
#pragma once

#include "DeckBuilder.h"
#include "Engine.h"

#include <filesystem>
#include <string>

namespace tovan::bench {

inline std::filesystem::path LargeRunResults(const std::string& folderName, int catchments,
                                             int storms) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / folderName;
    std::filesystem::create_directories(folder);
    const std::string base = (folder / "big").string();
    testing::WriteDeckFile(base + ".tvi", testing::ManyCatchments(catchments, storms));
    engine::RunDeck(
        {base + ".tvi", base + ".tvo", base + ".tvd", base + "Peak.tvi", base + ".results.json"});
    return base + ".results.json";
}

} // namespace tovan::bench
