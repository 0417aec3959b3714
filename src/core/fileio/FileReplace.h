// Replacing a file's whole content so that nothing is ever lost. Where it can, the new content
// goes to an unnamed temporary file in the same folder, is flushed to the disk, and only then
// takes the place of the old file in one rename: a failure at any point (disk full, the process
// killed) leaves the earlier file byte for byte as it was and no temporary file behind.
//
// It also keeps what an ordinary "open for output" keeps: a file the user may not write is
// refused, not replaced; a path that is a folder, a pipe, a device or a socket is refused; a
// symbolic link stays a link (the file it names gets the content, also when that file does not
// exist yet); a file with several hard links, or whose owner the saver could not give back, or
// in a folder the saver may not write, is written in place, so that every name, the owner, the
// group and the mode stay as they were.
#pragma once

#include <string>
#include <string_view>

namespace tovan {

// Error numbers of the file replacement beyond the system's errno values.
inline constexpr int kNotARegularFile = -2; // a folder, pipe, device node or socket
// Written over in place, the write broke off and the old content could not be put back.
inline constexpr int kLeftDamaged = -3;

// Writes `bytes` as they are (no line-end or character-set translation) to the file at `path`,
// creating it or replacing it. Returns 0, or the errno value (or kNotARegularFile) of the step
// that failed. A replaced file keeps its permission bits, owner and group; a new one gets the
// usual ones (0666 less umask).
int ReplaceFileContents(const std::string& path, std::string_view bytes);

// The moments at which a replacement reaches the disk. The content must be flushed before the
// rename makes it the file, or a power cut right after the rename can leave an empty deck.
enum class DiskStep { ContentFlushed, Renamed };

// Has `watcher` (nullptr for none, the default) called after each step that succeeded, so that
// the order of the steps can be checked. Meant to be set once, before any save.
void WatchDiskSteps(void (*watcher)(DiskStep));

// Words for an error number of ReplaceFileContents, for the detail of "Error saving file.".
std::string DescribeFileError(int error);

} // namespace tovan
