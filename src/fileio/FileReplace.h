// Replacing a file's whole content so that nothing is ever lost: the new content goes to a
// temporary file in the same folder, is flushed to the disk, and only then takes the place of
// the old file in one rename. A failure at any point (disk full, folder not writable, the path
// naming a folder) leaves the earlier file byte for byte as it was and no temporary file behind.
#pragma once

#include <string>
#include <string_view>

namespace tovan {

// Writes `bytes` as they are (no line-end or character-set translation) to the file at `path`,
// creating it or replacing it. Returns 0, or the errno value of the step that failed.
// A symbolic link at `path` is followed, so the file it names is replaced and the link stays.
// A replaced file keeps its permission bits; a new one gets the usual ones (0666 less umask).
int ReplaceFileContents(const std::string& path, std::string_view bytes);

} // namespace tovan
