// Holds back the message boxes of rules run over many cells at once (a paste), so that the
// user gets one box with a list of where each message arose instead of one box per cell.
// Everything else (questions, dialogs, settings) passes straight through.
#pragma once

#include "platform/Platform.h"

#include <string>
#include <utility>
#include <vector>

namespace tovan {

class MessageBatch : public ForwardingPlatform {
  public:
    struct Held {
        std::string text;
        MessageIcon icon;
        std::string title;
        std::string place; // where the rule that showed it ran
    };

    explicit MessageBatch(Platform& inner) : ForwardingPlatform(inner) {}

    // From now on messages are held, each with the place last given.
    void hold() {
        holding_ = true;
        held_.clear();
    }
    void setPlace(std::string place) { place_ = std::move(place); }
    // Shows messages again and hands over what was held.
    std::vector<Held> release() {
        holding_ = false;
        place_.clear();
        return std::exchange(held_, {});
    }

    void showMessage(std::string_view text, MessageIcon icon, std::string_view title) override {
        if (!holding_) return ForwardingPlatform::showMessage(text, icon, title);
        held_.push_back({std::string(text), icon, std::string(title), place_});
    }
    void showDetailedMessage(std::string_view text, std::string_view detail, MessageIcon icon,
                             std::string_view title) override {
        if (!holding_) return ForwardingPlatform::showDetailedMessage(text, detail, icon, title);
        held_.push_back({std::string(text), icon, std::string(title), place_});
    }

  private:
    bool holding_ = false;
    std::string place_;
    std::vector<Held> held_;
};

} // namespace tovan
