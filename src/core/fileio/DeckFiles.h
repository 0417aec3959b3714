// The two file commands of the main window, reading a deck into the editor's grids and
// saving them, as one seam: the program uses the core's OpenFile and SaveFile, the tests may
// count or fail the calls.
#pragma once

#include "deck/RecordSets.h"
#include "fileio/basFileRoutines.h"
#include "platform/Platform.h"

#include <cstdint>
#include <string>

namespace tovan {

class DeckFiles {
  public:
    virtual ~DeckFiles() = default;
    virtual OpenFileResult open(ReadingContext& context) = 0;
    // 0 when written; anything else is a failed save.
    virtual std::int32_t save(const DeckGrids& grids, const std::string& path,
                              Platform& platform) = 0;
};

// OpenFile and SaveFile of the core.
class CoreDeckFiles : public DeckFiles {
  public:
    OpenFileResult open(ReadingContext& context) override;
    std::int32_t save(const DeckGrids& grids, const std::string& path, Platform& platform) override;
};

} // namespace tovan
