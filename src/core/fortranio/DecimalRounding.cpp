#include "fortranio/DecimalRounding.h"

#include <algorithm>

namespace tovan {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* SkipDigits(const char* p, const char* end) {
    while (p != end && IsDigit(*p))
        ++p;
    return p;
}

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

// The one rounding of this program: a number's whole digits and decimals, rounded half away
// from zero on the first digit dropped, kept as views of the caller's digits unless a carry
// made a copy necessary (a short copy never allocates).
class RoundedDigits {
  public:
    // Plain decimal text: an optional sign, digits, an optional point and digits, at least one
    // digit, nothing else. False for any other text.
    bool round(std::string_view text, long decimals) {
        return decimals >= 0 && split(text) && roundFraction(static_cast<std::size_t>(decimals));
    }
    void round(bool negative, std::string_view whole, std::string_view fraction,
               std::size_t decimals) {
        negative_ = negative;
        whole_ = whole;
        fraction_ = fraction;
        roundFraction(decimals);
    }
    bool negative() const { return negative_; }
    std::string_view whole() const { return WithoutLeadingZeros(whole_); }
    std::string_view fraction() const { return WithoutTrailingZeros(fraction_); }
    // A number that rounds to zero has no sign.
    bool isZero() const { return whole().empty() && fraction().empty(); }

  private:
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

    bool roundFraction(std::size_t kept) {
        if (fraction_.size() <= kept) return true;
        const bool roundsUp = fraction_[kept] >= '5';
        fraction_ = fraction_.substr(0, kept);
        if (roundsUp) carry();
        return true;
    }

    // Adds one to the last kept digit, on a copy with a leading zero that stops the carry.
    void carry() {
        copy_.assign(1, '0');
        copy_.append(whole_).append(fraction_);
        std::size_t i = copy_.size() - 1;
        for (; copy_[i] == '9'; --i)
            copy_[i] = '0';
        ++copy_[i];
        const std::size_t wholeSize = 1 + whole_.size();
        whole_ = std::string_view(copy_).substr(0, wholeSize);
        fraction_ = std::string_view(copy_).substr(wholeSize);
    }

    bool negative_ = false;
    std::string_view whole_, fraction_;
    std::string copy_;
};

// A number in any notation as whole digits and decimals, its exponent applied by moving the
// point. Decimals past the first one that rounding drops are left out: they cannot change it.
class ShiftedDigits {
  public:
    // False when the whole part alone has more digits than `maxLength`.
    bool shift(const NumericParts& n, std::size_t decimals, std::size_t maxLength) {
        if (n.exponent == 0) {
            whole_ = n.wholeDigits;
            fraction_ = n.fractionDigits.substr(0, std::min(n.fractionDigits.size(), decimals + 1));
            return WithoutLeadingZeros(whole_).size() <= maxLength;
        }
        all_.assign(n.wholeDigits).append(n.fractionDigits);
        const auto significant = all_.find_first_not_of('0');
        if (significant == std::string::npos) return true; // zero
        const long point = static_cast<long>(n.wholeDigits.size()) + n.exponent;
        const long wholeLength = point - static_cast<long>(significant);
        if (wholeLength > static_cast<long>(maxLength)) return false;
        if (point <= 0) {
            const auto zeros = static_cast<std::size_t>(std::min<long>(-point, long(decimals) + 1));
            all_.insert(0, zeros, '0');
            fraction_ = std::string_view(all_).substr(0, decimals + 1);
            return true;
        }
        if (static_cast<std::size_t>(point) > all_.size()) all_.resize(std::size_t(point), '0');
        whole_ = std::string_view(all_).substr(0, std::size_t(point));
        const std::string_view rest = std::string_view(all_).substr(std::size_t(point));
        fraction_ = rest.substr(0, std::min(rest.size(), decimals + 1));
        return true;
    }
    std::string_view whole() const { return whole_; }
    std::string_view fraction() const { return fraction_; }

  private:
    std::string all_;
    std::string_view whole_, fraction_;
};

// What FieldText wrote into a field of maxLength blanks, without the blanks.
std::optional<std::string> Written(ShortForm form, const std::string& field) {
    if (form != ShortForm::Written) return std::nullopt;
    return field.substr(field.find_first_not_of(' '));
}

ShortForm WriteFixedPoint(const RoundedDigits& digits, std::size_t maxLength, char* field) {
    const FieldText out(field, maxLength);
    if (digits.isZero()) return out.write(false, "0", true, {});
    return out.write(digits.negative(), digits.whole(), true, digits.fraction());
}

ShortForm WriteWholeNumber(const RoundedDigits& digits, std::size_t maxLength, char* field) {
    const FieldText out(field, maxLength);
    if (digits.whole().empty()) return out.write(false, "0", false, {});
    return out.write(digits.negative(), digits.whole(), false, {});
}

// The number rounded to `decimals` as RoundedDigits, whatever its notation.
std::optional<std::string> FormatRounded(const NumericParts& number, long decimals,
                                         std::size_t maxLength, bool withPoint) {
    if (decimals < 0) decimals = 0;
    ShiftedDigits shifted;
    if (!shifted.shift(number, std::size_t(decimals), maxLength)) return std::nullopt;
    RoundedDigits digits;
    digits.round(number.negative, shifted.whole(), shifted.fraction(), std::size_t(decimals));
    std::string field(maxLength, ' ');
    return Written(withPoint ? WriteFixedPoint(digits, maxLength, field.data())
                             : WriteWholeNumber(digits, maxLength, field.data()),
                   field);
}

} // namespace

std::optional<std::string> FormatFixedPoint(const NumericParts& number, long decimals,
                                            std::size_t maxLength) {
    return FormatRounded(number, decimals, maxLength, true);
}

std::optional<std::string> FormatWholeNumber(const NumericParts& number, std::size_t maxLength) {
    return FormatRounded(number, 0, maxLength, false);
}

// The significant digits d1d2d3... are rounded as the number d1.d2d3...; a carry that makes it
// 10 moves the exponent up by one.
std::optional<std::string> FormatScientific(const NumericParts& number, long decimals,
                                            std::size_t maxLength) {
    std::string all;
    all.append(number.wholeDigits).append(number.fractionDigits);
    const auto first = all.find_first_not_of('0');
    if (first == std::string::npos)
        return maxLength >= 5 ? std::optional<std::string>("0.E00") : std::nullopt;
    long exponent = static_cast<long>(number.wholeDigits.size()) - static_cast<long>(first) - 1 +
                    number.exponent;
    const std::string_view significant = std::string_view(all).substr(first);
    RoundedDigits digits;
    digits.round(number.negative, significant.substr(0, 1), significant.substr(1),
                 std::size_t(std::max(decimals, 0L)));
    std::string_view lead = digits.whole(), rest = digits.fraction();
    if (lead.size() > 1) { // 9.99 became 10.0
        ++exponent;
        rest = WithoutTrailingZeros(lead.substr(1));
        lead = lead.substr(0, 1);
    }
    std::string text = number.negative ? "-" : "";
    text.append(lead).append(".").append(rest).append("E");
    if (exponent < 0) text += '-';
    const std::string exponentDigits = std::to_string(exponent < 0 ? -exponent : exponent);
    if (exponentDigits.size() < 2) text += '0';
    text += exponentDigits;
    if (text.size() > maxLength) return std::nullopt;
    return text;
}

ShortForm WriteShortFixedPoint(std::string_view text, long decimals, std::size_t maxLength,
                               char* field) {
    RoundedDigits digits;
    if (!digits.round(text, decimals)) return ShortForm::NotShort;
    return WriteFixedPoint(digits, maxLength, field);
}

ShortForm WriteShortWholeNumber(std::string_view text, std::size_t maxLength, char* field) {
    RoundedDigits digits;
    if (!digits.round(text, 0)) return ShortForm::NotShort;
    return WriteWholeNumber(digits, maxLength, field);
}

} // namespace tovan
