#include "deck/StormIdent.h"

#include "fortranio/NumericText.h"

#include <sstream>

namespace tovan {

std::string StepMark(double stepMinutes) {
    std::ostringstream mark;
    mark << "/" << stepMinutes << "m";
    return mark.str();
}

std::optional<double> StepInIdent(std::string_view ident) {
    const std::string_view text = TrimBlanks(ident);
    if (text.size() < 3 || (text.back() != 'm' && text.back() != 'M')) return std::nullopt;
    const auto slash = text.rfind('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const auto step = NumericValue(text.substr(slash + 1, text.size() - slash - 2));
    if (!step || !(*step > 0)) return std::nullopt;
    return step;
}

} // namespace tovan
