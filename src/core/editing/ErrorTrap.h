// The program's reaction to an unexpected error in a handler: a message box with the error's
// description, an exclamation icon and the handler's fixed title; then the handler ends.
#pragma once

#include "platform/Platform.h"

#include <functional>
#include <string_view>

namespace tovan {

// Runs `body`; returns false when it failed and the error was shown.
bool TrapErrors(Platform& platform, std::string_view title, const std::function<void()>& body);

} // namespace tovan
