#include "FixedFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tovan::engine {

namespace {

constexpr double kScale[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

void Pad(std::string& out, int width, int length) {
    if (width > length) out.append(static_cast<std::size_t>(width - length), ' ');
}

} // namespace

void AppendFixed(std::string& out, double value, int decimals, int width, bool trimZeros) {
    const double scaled = value * kScale[decimals];
    if (!(std::abs(scaled) < 1e15)) {
        char text[64];
        const int n = std::snprintf(text, sizeof text, "%*.*f", width, decimals, value);
        out.append(text, static_cast<std::size_t>(std::max(0, std::min(n, 63))));
        return;
    }
    const bool negative = scaled < 0.0;
    // Rounded half away from zero, as printf does for all but exact binary ties.
    auto units = static_cast<unsigned long long>((negative ? -scaled : scaled) + 0.5);
    const bool minus = negative && units != 0;
    // Composed right to left in a local buffer, then appended at once.
    char text[48];
    char* end = text + sizeof text;
    char* p = end;
    bool trimming = trimZeros;
    for (int i = 0; i < decimals; ++i, units /= 10) {
        const char digit = static_cast<char>('0' + units % 10);
        if (trimming && digit == '0') continue;
        trimming = false;
        *--p = digit;
    }
    if (p != end) *--p = '.';
    do {
        *--p = static_cast<char>('0' + units % 10);
        units /= 10;
    } while (units > 0);
    if (minus) *--p = '-';
    const auto length = static_cast<int>(end - p);
    if (width > length) out.append(static_cast<std::size_t>(width - length), ' ');
    out.append(p, end);
}

void AppendInteger(std::string& out, long long value, int width) {
    const std::string text = std::to_string(value);
    Pad(out, width, static_cast<int>(text.size()));
    out += text;
}

} // namespace tovan::engine
