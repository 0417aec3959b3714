#include "fileio/SaveFile.h"

#include "fileio/FileReplace.h"
#include "fileio/SaveMessages.h"
#include "platform/RecordingPlatform.h"

#include <cstring>

namespace tovan {

namespace {

// A box with its detail when it has one.
void Show(Platform& platform, std::string_view text, std::string_view detail, MessageIcon icon,
          std::string_view title) {
    if (detail.empty()) {
        platform.showMessage(text, icon, title);
    } else {
        platform.showDetailedMessage(text, detail, icon, title);
    }
}

// Holds the boxes of a save until it is known how many there are: the first ones as they are,
// the rest only counted, so that a deck with millions of faults costs no memory. Without a
// limit every box goes straight through, in its order.
class HeldBoxes : public RecordingPlatform {
  public:
    HeldBoxes(Platform& shown, const SaveBoxLimit& limit) : shown_(shown), limit_(limit) {}

    void showMessage(std::string_view text, MessageIcon icon, std::string_view title) override {
        showDetailedMessage(text, {}, icon, title);
    }
    void showDetailedMessage(std::string_view text, std::string_view detail, MessageIcon icon,
                             std::string_view title) override {
        if (limit_.count == 0) {
            Show(shown_, text, detail, icon, title);
        } else if (messages.size() < limit_.count) {
            messages.push_back(
                {std::string(text), icon, std::string(title), false, std::string(detail)});
        } else {
            ++leftOut_;
        }
    }

    void show() {
        for (std::size_t i = 0; i < messages.size(); ++i) {
            const Message& box = messages[i];
            const bool last = i + 1 == messages.size() && leftOut_ > 0;
            Show(shown_, last ? LastBoxText(box.text, leftOut_, limit_.listedBy) : box.text,
                 box.detail, box.icon, box.title);
        }
    }

  private:
    Platform& shown_;
    SaveBoxLimit limit_;
    std::size_t leftOut_ = 0;
};

} // namespace

std::string LastBoxText(std::string_view text, std::size_t leftOut, std::string_view listedBy) {
    const std::string count = std::to_string(leftOut);
    return std::string(text) + "\n\n" +
           (leftOut == 1 ? "1 more message of this save is not shown; "
                         : count + " more messages of this save are not shown; ") +
           std::string(listedBy) + " lists them all.";
}

// The rules have all been checked before the file is touched, so a fatal rule or a failed write
// leaves the file that was there before exactly as it was.
std::int32_t SaveFile(const DeckGrids& grids, const std::string& path, Platform& platform,
                      const SaveBoxLimit& limit) {
    HeldBoxes boxes(platform, limit);
    const DeckText deck = BuildDeckText(grids, boxes);
    std::int32_t result = deck.fatal ? kSaveStoppedByRule : deck.error;
    if (result == 0) result = ReplaceFileContents(path, deck.text);
    if (result == 0 && deck.unusable) {
        const auto& message = save_messages::kUnusable;
        boxes.showMessage(message.text, message.icon, message.title);
    }
    boxes.show();
    return result;
}

std::string DescribeFileError(int error) {
    if (error == kNotARegularFile) return "The path names a pipe, device or socket, not a file.";
    if (error == kLeftDamaged)
        return "Writing over the deck in place broke off, and its earlier content could not be "
               "written back.";
    return std::string(std::strerror(error)) + ".";
}

std::string SaveFailureDetail(std::int32_t result, const std::string& path) {
    if (result == 0 || result == kSaveStoppedByRule) return {};
    const std::string outcome = result == kLeftDamaged
                                    ? " The deck on disk is damaged: save it again, or save it "
                                      "under another name, before closing it."
                                    : " Nothing was changed on disk.";
    return "The deck could not be written to " + path + ": " + DescribeFileError(result) + outcome;
}

} // namespace tovan
