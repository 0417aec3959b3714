#include "platform/RecordingPlatform.h"

namespace tovan {

void RecordingPlatform::showMessage(std::string_view text, MessageIcon icon,
                                    std::string_view title) {
    messages.push_back({std::string(text), icon, std::string(title), false});
}

void RecordingPlatform::showDetailedMessage(std::string_view text, std::string_view detail,
                                            MessageIcon icon, std::string_view title) {
    messages.push_back({std::string(text), icon, std::string(title), false, std::string(detail)});
}

Answer RecordingPlatform::askYesNo(std::string_view text, MessageIcon icon,
                                   std::string_view title) {
    messages.push_back({std::string(text), icon, std::string(title), true});
    if (answers.empty()) return Answer::No;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::size_t RecordingPlatform::askChoice(std::string_view text, std::string_view title,
                                         const std::vector<std::string>& buttons) {
    messages.push_back({std::string(text), MessageIcon::Question, std::string(title), true});
    if (choices.empty()) return buttons.empty() ? 0 : buttons.size() - 1;
    const std::size_t choice = choices.front();
    choices.pop_front();
    return choice;
}

std::optional<std::string> RecordingPlatform::nextChosenFile(const FileDialogRequest& request) {
    dialogs.push_back(request);
    if (chosenFiles.empty()) return std::nullopt;
    auto chosen = chosenFiles.front();
    chosenFiles.pop_front();
    return chosen;
}

std::optional<std::string> RecordingPlatform::chooseFileToOpen(const FileDialogRequest& request) {
    return nextChosenFile(request);
}

std::optional<std::string> RecordingPlatform::chooseFileToSave(const FileDialogRequest& request) {
    return nextChosenFile(request);
}

std::string RecordingPlatform::setting(std::string_view section, std::string_view key,
                                       std::string_view defaultValue) {
    const auto found = settings.find({std::string(section), std::string(key)});
    return found == settings.end() ? std::string(defaultValue) : found->second;
}

void RecordingPlatform::saveSetting(std::string_view section, std::string_view key,
                                    std::string_view value) {
    settings[{std::string(section), std::string(key)}] = std::string(value);
}

void RecordingPlatform::setBusy(bool isBusy) {
    if (busy != isBusy) ++busyTransitions;
    busy = isBusy;
}

} // namespace tovan
