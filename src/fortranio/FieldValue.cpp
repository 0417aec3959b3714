#include "fortranio/FieldValue.h"

#include <charconv>
#include <cmath>

namespace tovan {

namespace {

template <typename Real>
std::string Shortest(Real value) {
    if (value == 0) return "0"; // also turns -0 into "0"
    // Fixed notation reads naturally in a grid cell; far outside everyday magnitudes the
    // general form keeps the text short.
    const Real magnitude = std::fabs(value);
    const auto format = (magnitude >= Real(1e-6) && magnitude < Real(1e15))
                            ? std::chars_format::fixed
                            : std::chars_format::general;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    if (result.ec != std::errc{}) return {};
    return std::string(buffer, result.ptr);
}

} // namespace

double FieldValue::number() const {
    switch (kind) {
    case FieldKind::Integer:
        return integer;
    case FieldKind::Single:
        return single;
    case FieldKind::Double:
        return real;
    default:
        return 0.0;
    }
}

std::string ShortestText(float value) {
    return Shortest(value);
}
std::string ShortestText(double value) {
    return Shortest(value);
}

std::string CellText(const FieldValue& value) {
    switch (value.kind) {
    case FieldKind::Text:
        return value.text;
    case FieldKind::Integer:
        return std::to_string(value.integer);
    case FieldKind::Single:
        return ShortestText(value.single);
    case FieldKind::Double:
        return ShortestText(value.real);
    case FieldKind::Empty:
    case FieldKind::Null:
        break;
    }
    return {};
}

} // namespace tovan
