#include "fortranio/DecimalRounding.h"

#include <algorithm>
#include <array>

namespace tovan {

namespace {

// value = 0.d1d2d3... x 10^pointPosition, with no leading zero digit; no digits means zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    long pointPosition = 0;
};

Decimal ToDecimal(const NumericParts& n) {
    Decimal d;
    d.negative = n.negative;
    std::string all;
    all.reserve(n.wholeDigits.size() + n.fractionDigits.size());
    all.append(n.wholeDigits).append(n.fractionDigits);
    const auto firstNonZero = all.find_first_not_of('0');
    if (firstNonZero == std::string::npos) return d; // zero
    const auto lastNonZero = all.find_last_not_of('0');
    d.digits = all.substr(firstNonZero, lastNonZero - firstNonZero + 1);
    d.pointPosition =
        static_cast<long>(n.wholeDigits.size()) - static_cast<long>(firstNonZero) + n.exponent;
    return d;
}

// Keeps the first `keep` significant digits, rounding the rest half away from zero.
void RoundToDigits(Decimal& d, long keep) {
    if (keep >= static_cast<long>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        d.pointPosition = 0;
        return;
    }
    const bool roundUp = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (roundUp) {
        long i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.pointPosition;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty()) d.pointPosition = 0;
}

bool IsZero(const Decimal& d) {
    return d.digits.empty();
}

// Digits before the point of a rounded value, "" when its whole part is zero.
std::string WholePart(const Decimal& d) {
    if (d.pointPosition <= 0) return {};
    std::string whole = d.digits.substr(0, static_cast<std::size_t>(d.pointPosition));
    whole.append(static_cast<std::size_t>(d.pointPosition) - whole.size(), '0');
    return whole;
}

std::string FractionPart(const Decimal& d) {
    if (d.pointPosition >= static_cast<long>(d.digits.size())) return {};
    if (d.pointPosition >= 0) return d.digits.substr(static_cast<std::size_t>(d.pointPosition));
    return std::string(static_cast<std::size_t>(-d.pointPosition), '0') + d.digits;
}

// Any whole part longer than this cannot fit a card, so the digits are never spelled out.
bool WholePartTooLong(const Decimal& d, std::size_t maxLength) {
    return d.pointPosition > static_cast<long>(maxLength);
}

// A carry can make a rounded number one digit longer; the short forms copy the digits of such a
// number when it has at most this many (whole and kept decimals together).
constexpr std::size_t kShortDigits = 40;

std::string_view WithoutLeadingZeros(std::string_view digits) {
    while (!digits.empty() && digits.front() == '0')
        digits.remove_prefix(1);
    return digits;
}

std::string_view WithoutTrailingZeros(std::string_view digits) {
    while (!digits.empty() && digits.back() == '0')
        digits.remove_suffix(1);
    return digits;
}

// A number's text written straight into its field, right-aligned: sign, whole digits, point,
// decimals.
class FieldText {
  public:
    FieldText(char* field, std::size_t width) : field_(field), width_(width) {}
    ShortForm write(bool negative, std::string_view whole, bool withPoint,
                    std::string_view fraction) const {
        const std::size_t length =
            (negative ? 1 : 0) + whole.size() + (withPoint ? 1 : 0) + fraction.size();
        if (length > width_) return ShortForm::TooWide;
        char* out = field_ + (width_ - length);
        if (negative) *out++ = '-';
        for (const char c : whole)
            *out++ = c;
        if (withPoint) *out++ = '.';
        for (const char c : fraction)
            *out++ = c;
        return ShortForm::Written;
    }

  private:
    char* field_;
    std::size_t width_;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* SkipDigits(const char* p, const char* end) {
    while (p != end && IsDigit(*p))
        ++p;
    return p;
}

// Plain decimal text rounded to some decimals: its whole digits and kept decimals, views of
// the text itself unless a carry made a copy necessary.
class RoundedDigits {
  public:
    // Rounds half away from zero on the first digit dropped, as RoundToDigits does; false for
    // text that is not plain decimal or too long to copy for its carry.
    bool round(std::string_view text, long decimals) {
        if (decimals < 0 || !split(text)) return false;
        const auto kept = static_cast<std::size_t>(decimals);
        if (fraction_.size() <= kept) return true;
        const bool roundsUp = fraction_[kept] >= '5';
        fraction_ = fraction_.substr(0, kept);
        return !roundsUp || carry();
    }
    bool negative() const { return negative_; }
    std::string_view whole() const { return WithoutLeadingZeros(whole_); }
    std::string_view fraction() const { return WithoutTrailingZeros(fraction_); }

  private:
    // An optional sign, digits, an optional point and digits, at least one digit, nothing else.
    bool split(std::string_view text) {
        const char* p = text.data();
        const char* end = p + text.size();
        if (p != end && (*p == '-' || *p == '+')) negative_ = *p++ == '-';
        const char* wholeEnd = SkipDigits(p, end);
        whole_ = {p, static_cast<std::size_t>(wholeEnd - p)};
        p = wholeEnd;
        if (p != end && *p == '.') {
            const char* fractionEnd = SkipDigits(++p, end);
            fraction_ = {p, static_cast<std::size_t>(fractionEnd - p)};
            p = fractionEnd;
        }
        return p == end && !(whole_.empty() && fraction_.empty());
    }

    // Adds one to the last kept digit, on a copy with a leading zero that stops the carry.
    bool carry() {
        const std::size_t count = 1 + whole_.size() + fraction_.size();
        if (count > copy_.size()) return false;
        char* out = copy_.data();
        *out++ = '0';
        out = std::copy(whole_.begin(), whole_.end(), out);
        std::copy(fraction_.begin(), fraction_.end(), out);
        std::size_t i = count - 1;
        for (; copy_[i] == '9'; --i)
            copy_[i] = '0';
        ++copy_[i];
        whole_ = {copy_.data(), 1 + whole_.size()};
        fraction_ = {copy_.data() + whole_.size(), fraction_.size()};
        return true;
    }

    bool negative_ = false;
    std::string_view whole_, fraction_;
    std::array<char, kShortDigits + 1> copy_;
};

} // namespace

std::optional<std::string> FormatFixedPoint(const NumericParts& number, long decimals,
                                            std::size_t maxLength) {
    Decimal d = ToDecimal(number);
    if (WholePartTooLong(d, maxLength)) return std::nullopt;
    RoundToDigits(d, d.pointPosition + decimals);
    if (WholePartTooLong(d, maxLength)) return std::nullopt;
    std::string text = (d.negative && !IsZero(d)) ? "-" : "";
    text += WholePart(d);
    text += '.';
    text += FractionPart(d);
    if (text == ".") text = "0.";
    if (text.size() > maxLength) return std::nullopt;
    return text;
}

std::optional<std::string> FormatScientific(const NumericParts& number, long decimals,
                                            std::size_t maxLength) {
    Decimal d = ToDecimal(number);
    if (IsZero(d)) return maxLength >= 5 ? std::optional<std::string>("0.E00") : std::nullopt;
    if (decimals + 1 < static_cast<long>(d.digits.size())) RoundToDigits(d, decimals + 1);
    const long exponent = d.pointPosition - 1;
    std::string text = d.negative ? "-" : "";
    text += d.digits.front();
    text += '.';
    text.append(d.digits, 1);
    text += 'E';
    if (exponent < 0) text += '-';
    const std::string exponentDigits = std::to_string(exponent < 0 ? -exponent : exponent);
    if (exponentDigits.size() < 2) text += '0';
    text += exponentDigits;
    if (text.size() > maxLength) return std::nullopt;
    return text;
}

std::optional<std::string> FormatWholeNumber(const NumericParts& number, std::size_t maxLength) {
    Decimal d = ToDecimal(number);
    if (WholePartTooLong(d, maxLength)) return std::nullopt;
    RoundToDigits(d, d.pointPosition);
    if (WholePartTooLong(d, maxLength)) return std::nullopt;
    std::string whole = WholePart(d);
    std::string text = whole.empty() ? "0" : ((d.negative ? "-" : "") + whole);
    if (text.size() > maxLength) return std::nullopt;
    return text;
}

ShortForm WriteShortFixedPoint(std::string_view text, long decimals, std::size_t maxLength,
                               char* field) {
    RoundedDigits digits;
    if (!digits.round(text, decimals)) return ShortForm::NotShort;
    const std::string_view whole = digits.whole(), fraction = digits.fraction();
    const FieldText out(field, maxLength);
    if (whole.empty() && fraction.empty()) return out.write(false, "0", true, {});
    return out.write(digits.negative(), whole, true, fraction);
}

ShortForm WriteShortWholeNumber(std::string_view text, std::size_t maxLength, char* field) {
    RoundedDigits digits;
    if (!digits.round(text, 0)) return ShortForm::NotShort;
    const std::string_view whole = digits.whole();
    const FieldText out(field, maxLength);
    if (whole.empty()) return out.write(false, "0", false, {});
    return out.write(digits.negative(), whole, false, {});
}

} // namespace tovan
