#include "editing/CellEntry.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace tovan {

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A plain decimal number filling the whole text ("2", "-1.5", ".25", "1e3"); a leading plus is
// taken. Nothing for "1,2", "12abc", "inf" or "nan".
std::optional<double> PlainNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(number))
        return std::nullopt;
    return number;
}

std::string LimitText(double limit) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", limit);
    return buffer;
}

// Shortest text of the number at the cell's decimals: "0.25", "2", "-1.5".
std::string DecimalText(double number, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", std::clamp(decimals, 0, 20), number);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

CellEntry Refused(std::string reason) {
    return {std::nullopt, std::move(reason), false};
}

CellEntry AcceptInteger(const CellFormat& format, std::string_view text) {
    const auto number = PlainNumber(text);
    if (!number || *number != std::floor(*number)) return Refused("is not a whole number");
    if (*number < static_cast<double>(format.integerMin) ||
        *number > static_cast<double>(format.integerMax)) {
        return Refused("is outside the range " + std::to_string(format.integerMin) + " to " +
                       std::to_string(format.integerMax));
    }
    return {std::to_string(static_cast<long>(*number)), {}, false};
}

CellEntry AcceptFloat(const CellFormat& format, std::string_view text) {
    const auto number = PlainNumber(text);
    if (!number) return Refused("is not a number");
    const double scale = std::pow(10.0, format.decimals);
    const double kept = std::round(*number * scale) / scale;
    if (kept < format.floatMin || kept > format.floatMax) {
        return Refused("is outside the range " + LimitText(format.floatMin) + " to " +
                       LimitText(format.floatMax));
    }
    return {DecimalText(kept, format.decimals), {}, kept != *number};
}

// "002, 005, 010" for short items; the leading numbers of long ones ("0, 1, 2, 3, 7, 8, 9").
std::string ItemsText(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        if (!text.empty()) text += ", ";
        text += item.size() <= 8 ? item : item.substr(0, item.find(' '));
    }
    return text;
}

CellEntry AcceptListItem(const CellFormat& format, std::string_view text) {
    if (const auto item = MatchListItem(format.items, text))
        return {std::to_string(*item), {}, false};
    return Refused("is not an item of the list (" + ItemsText(format.items) + ")");
}

// Typing stops at the cell's length; a pasted text longer than that is kept whole, up to a
// card's width, as a title read from its card is: the deck field may hold more than the cell
// lets one type (card A's title), and where it holds less the save names the cell that will
// differ, as Check Deck does at once. Nothing is cut without a word.
CellEntry AcceptText(std::string_view text) {
    constexpr std::size_t kCardWidth = 80;
    if (text.size() > kCardWidth) return Refused("is longer than a card of 80 columns");
    return {std::string(text), {}, false};
}

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || (byte >= 0x80 && byte < 0xA0);
    });
}

// The number an item stands for: its leading digits ("002" is 2, "7 - Print ..." is 7).
std::optional<long> LeadingNumber(std::string_view item) {
    long number = 0;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), number);
    if (error != std::errc() || end == item.data()) return std::nullopt;
    return number;
}

} // namespace

std::optional<std::size_t> MatchListItem(const std::vector<std::string>& items,
                                         std::string_view text) {
    const std::string_view wanted = Trimmed(text);
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (Trimmed(items[i]) == wanted) return i;
    }
    const auto number = PlainNumber(wanted);
    if (!number) return std::nullopt;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto stands = LeadingNumber(items[i]);
        if (stands && static_cast<double>(*stands) == *number) return i;
    }
    return std::nullopt;
}

CellEntry AcceptEntry(const CellFormat& format, std::string_view text) {
    if (format.type == CellType::Button || format.type == CellType::Label)
        return Refused("is not a field");
    if (HasControlCharacter(text))
        return Refused("holds a line break, a tab or another control character");
    const std::string_view trimmed = Trimmed(text);
    if (trimmed.empty()) return {std::string(), {}, false};
    switch (format.type) {
    case CellType::Integer:
        return AcceptInteger(format, trimmed);
    case CellType::Float:
        return AcceptFloat(format, trimmed);
    case CellType::ComboBox:
        return AcceptListItem(format, trimmed);
    default:
        return AcceptText(text);
    }
}

bool UserCanEdit(const Grid& grid, int col, int row) {
    if (!grid.contains(col, row) || grid.locked(col, row)) return false;
    const CellType type = grid.cellType(col, row);
    return type != CellType::Button && type != CellType::Label;
}

const CellFormat& FieldFormat(const Grid& grid, int col, int row) {
    const CellFormat& own = grid.format(col, row);
    if (own.type != CellType::Edit || row <= 2 || grid.maxRows() < 2) return own;
    const CellFormat& record = grid.format(col, 2);
    const bool typedField = record.type == CellType::Float || record.type == CellType::Integer ||
                            record.type == CellType::ComboBox;
    return typedField ? record : own;
}

std::string CellCopyValue(const Grid& grid, int col, int row) {
    const CellFormat& format = FieldFormat(grid, col, row);
    if (format.type == CellType::Button) return {};
    const std::string& value = grid.value(col, row);
    if (format.type != CellType::ComboBox || value.empty()) return value;
    const auto index = PlainNumber(value);
    if (!index || *index < 0 || *index >= static_cast<double>(format.items.size()) ||
        *index != std::floor(*index))
        return value;
    return format.items[static_cast<std::size_t>(*index)];
}

PastedBlock SplitPastedText(std::string_view text) {
    PastedBlock block;
    std::vector<std::string> row;
    std::string field;
    bool quoted = false, fieldStarted = false;
    const auto endField = [&] {
        row.push_back(std::exchange(field, {}));
        fieldStarted = false;
    };
    const auto endRow = [&] {
        endField();
        block.push_back(std::exchange(row, {}));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == '"' && !fieldStarted) {
            quoted = fieldStarted = true;
        } else if (c == '\t') {
            endField();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            endRow();
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.empty() || !row.empty()) endRow();
    return block;
}

} // namespace tovan
