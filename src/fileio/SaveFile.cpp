#include "fileio/SaveFile.h"

#include "fileio/FileReplace.h"
#include "fileio/SaveMessages.h"

#include <cstring>

namespace tovan {

// The rules have all been checked before the file is touched, so a fatal rule or a failed write
// leaves the file that was there before exactly as it was.
std::int32_t SaveFile(const DeckGrids& grids, const std::string& path, Platform& platform) {
    const DeckText deck = BuildDeckText(grids, platform);
    if (deck.fatal) return kSaveStoppedByRule;
    if (deck.error != 0) return deck.error;
    if (const int error = ReplaceFileContents(path, deck.text); error != 0) return error;
    if (deck.unusable) {
        const auto& message = save_messages::kUnusable;
        platform.showMessage(message.text, message.icon, message.title);
    }
    return 0;
}

std::string DescribeFileError(int error) {
    if (error == kNotARegularFile) return "The path names a pipe, device or socket, not a file.";
    return std::string(std::strerror(error)) + ".";
}

std::string SaveFailureDetail(std::int32_t result, const std::string& path) {
    if (result == 0 || result == kSaveStoppedByRule) return {};
    return "The deck could not be written to " + path + ": " + DescribeFileError(result) +
           " Nothing was changed on disk.";
}

} // namespace tovan
