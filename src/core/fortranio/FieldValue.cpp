#include "fortranio/FieldValue.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <optional>

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

// The text of a float read from a short decimal field, without the general conversion: the
// fewest decimals k whose nearest k-decimal reads back to the same float. Below 2^23 the integer
// part is exact and, with the numerator under 2^24 and 10^k exact in a float, the quotient
// float(m) / float(10^k) is the correctly rounded value of m / 10^k, which is what reading that
// text gives; the nearest such decimal is also the one the shortest conversion would choose.
// Nothing when the value is outside that range; the caller then converts it the general way.
// Writes the text into `out` (room for 32 characters) and returns its end, or nullptr.
char* ShortDecimalText(float value, char* out) {
    constexpr float kExactIntegers = 8388608.0f;       // 2^23
    constexpr std::int64_t kExactNumerator = 16777216; // 2^24
    constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    const float magnitude = std::fabs(value);
    if (!(magnitude >= 1e-6f && magnitude < kExactIntegers)) return nullptr;
    for (int k = 0; k < static_cast<int>(std::size(kPowers)); ++k) {
        const double scaled = static_cast<double>(magnitude) * static_cast<double>(kPowers[k]);
        if (scaled > static_cast<double>(kExactNumerator)) return nullptr;
        // exact: 24 bits of the float times at most 24 odd bits of 10^k; halves go to even
        auto m = static_cast<std::int64_t>(scaled);
        const double above = scaled - static_cast<double>(m);
        if (above > 0.5 || (above == 0.5 && m % 2 != 0)) ++m;
        if (static_cast<float>(m) / kPowers[k] != magnitude) continue;
        // m with its last k digits after the point, zeros in front as needed
        char digits[24];
        char* end = std::to_chars(digits + 12, digits + sizeof digits, m).ptr;
        char* begin = digits + 12;
        while (end - begin <= k)
            *--begin = '0';
        if (value < 0) *out++ = '-';
        out = std::copy(begin, end - k, out);
        if (k > 0) {
            *out++ = '.';
            out = std::copy(end - k, end, out);
        }
        return out;
    }
    return nullptr;
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
    char text[32];
    if (const char* end = ShortDecimalText(value, text))
        return std::string(text, static_cast<std::size_t>(end - text));
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
        if (!value.text.empty()) return value.text;
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
