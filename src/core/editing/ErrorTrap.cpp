#include "editing/ErrorTrap.h"

#include <exception>

namespace tovan {

bool TrapErrors(Platform& platform, std::string_view title, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        platform.showMessage(error.what(), MessageIcon::Exclamation, title);
    }
    return false;
}

} // namespace tovan
