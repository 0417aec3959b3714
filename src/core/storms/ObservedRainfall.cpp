// The file is read by hand: Debian offers no CSV library that also builds for the Windows
// command-line programs, and two numeric columns need little more than splitting a line.
#include "storms/ObservedRainfall.h"

#include "fortranio/NumericText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

namespace tovan {

namespace {

struct Column {
    std::size_t index = 0;
    std::string name; // as the header gives it; empty without a header
};

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool Contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

std::optional<double> NumberIn(const std::string& field) {
    const auto value = NumericValue(field);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

// Minutes of an h:mm or h:mm:ss clock time.
std::optional<double> ClockMinutes(const std::string& field) {
    const auto colon = field.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const auto hours = NumberIn(field.substr(0, colon));
    std::string rest = field.substr(colon + 1);
    double seconds = 0;
    if (const auto second = rest.find(':'); second != std::string::npos) {
        const auto s = NumberIn(rest.substr(second + 1));
        if (!s) return std::nullopt;
        seconds = *s;
        rest = rest.substr(0, second);
    }
    const auto minutes = NumberIn(rest);
    if (!hours || !minutes) return std::nullopt;
    return *hours * 60 + *minutes + seconds / 60;
}

char SeparatorOf(std::string_view firstLine) {
    if (firstLine.find(',') != std::string_view::npos) return ',';
    if (firstLine.find(';') != std::string_view::npos) return ';';
    if (firstLine.find('\t') != std::string_view::npos) return '\t';
    return ',';
}

std::vector<std::string> Lines(std::string_view csv) {
    std::vector<std::string> lines;
    std::istringstream in{std::string(csv)};
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (Trimmed(line).empty() || line.front() == '#') continue;
        lines.push_back(line);
    }
    return lines;
}

std::string Row(std::size_t line) {
    return "row " + std::to_string(line);
}

[[noreturn]] void Refuse(const std::string& message) {
    throw StormInputError("file", message);
}

struct Table {
    std::vector<std::vector<std::string>> rows; // data rows only
    std::vector<std::string> header;            // empty without one
    std::size_t firstDataRow = 1;               // the file's row number of rows[0]
};

Table ReadTable(std::string_view csv) {
    const std::vector<std::string> lines = Lines(csv);
    if (lines.empty()) Refuse("The file holds no rainfall rows.");
    const char separator = SeparatorOf(lines.front());
    Table table;
    for (const std::string& line : lines)
        table.rows.push_back(SplitCsvLine(line, separator));
    const auto& first = table.rows.front();
    const bool header = std::any_of(first.begin(), first.end(), [](const std::string& field) {
        return !NumberIn(Trimmed(field)) && !ClockMinutes(Trimmed(field));
    });
    if (header) {
        table.header = first;
        table.rows.erase(table.rows.begin());
        table.firstDataRow = 2;
    }
    if (table.rows.empty()) Refuse("The file holds a header row and no rainfall rows.");
    return table;
}

// The columns by their names: time, then the first column whose name says what it holds.
std::pair<Column, Column> ChooseColumns(const Table& table) {
    Column time{0, {}}, value{1, {}};
    const auto& header = table.header;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string name = Lower(header[i]);
        if (Contains(name, "time") || Contains(name, "min") || Contains(name, "hour")) {
            time = {i, Trimmed(header[i])};
            break;
        }
    }
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (i == time.index) continue;
        const std::string name = Lower(header[i]);
        if (Contains(name, "cum") || Contains(name, "int") || Contains(name, "rate") ||
            Contains(name, "depth") || Contains(name, "rain") || Contains(name, "precip")) {
            value = {i, Trimmed(header[i])};
            break;
        }
    }
    if (value.index == time.index) value.index = time.index == 0 ? 1 : 0;
    if (!header.empty() && value.name.empty() && value.index < header.size())
        value.name = Trimmed(header[value.index]);
    if (!header.empty() && time.name.empty()) time.name = Trimmed(header[time.index]);
    return {time, value};
}

std::string Describe(const Column& column) {
    return "column " + std::to_string(column.index + 1) +
           (column.name.empty() ? "" : " (\"" + column.name + "\")");
}

std::vector<std::pair<double, double>> ReadValues(const Table& table, const Column& time,
                                                  const Column& value, double timeScale) {
    std::vector<std::pair<double, double>> values;
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        const auto& fields = table.rows[r];
        const std::size_t line = table.firstDataRow + r;
        if (fields.size() <= std::max(time.index, value.index))
            Refuse(Row(line) + " has " + std::to_string(fields.size()) +
                   " fields; the time and rainfall need " +
                   std::to_string(std::max(time.index, value.index) + 1) + ".");
        const std::string timeText = Trimmed(fields[time.index]);
        const auto minutes =
            timeText.find(':') != std::string::npos ? ClockMinutes(timeText) : NumberIn(timeText);
        if (!minutes) Refuse(Row(line) + ": the time \"" + timeText + "\" is not a number.");
        const std::string valueText = Trimmed(fields[value.index]);
        const auto number = NumberIn(valueText);
        if (!number) Refuse(Row(line) + ": the rainfall \"" + valueText + "\" is not a number.");
        if (*number < 0) Refuse(Row(line) + ": the rainfall " + valueText + " is negative.");
        const double at = timeText.find(':') != std::string::npos ? *minutes : *minutes * timeScale;
        if (!values.empty() && at <= values.back().first)
            Refuse(Row(line) + ": the time " + timeText + " does not come after the row before.");
        values.emplace_back(at, *number);
    }
    return values;
}

ObservedKind GuessKind(const std::string& name,
                       const std::vector<std::pair<double, double>>& values, std::string& why) {
    const std::string lower = Lower(name);
    if (Contains(lower, "cum")) return ObservedKind::Cumulative;
    if (Contains(lower, "int") || Contains(lower, "rate") || Contains(lower, "/h"))
        return ObservedKind::Intensity;
    if (!name.empty()) return ObservedKind::Depth;
    const bool neverFalls =
        std::is_sorted(values.begin(), values.end(),
                       [](const auto& a, const auto& b) { return a.second < b.second; });
    if (values.size() >= 3 && neverFalls && values.back().second > values.front().second) {
        why = " (its numbers never decrease; name the column \"depth\" to read them as depths)";
        return ObservedKind::Cumulative;
    }
    why = " (no header names it; name the column \"cumulative\" or \"intensity\" otherwise)";
    return ObservedKind::Depth;
}

const char* KindWords(ObservedKind kind) {
    switch (kind) {
    case ObservedKind::Cumulative:
        return "cumulative depth";
    case ObservedKind::Intensity:
        return "intensity (in/h) of the interval ending at each time";
    case ObservedKind::Depth:
        break;
    }
    return "depth of the interval ending at each time";
}

} // namespace

std::vector<std::string> SplitCsvLine(std::string_view line, char separator) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

ObservedRecord ReadObservedRainfall(std::string_view csv, std::optional<ObservedKind> kind) {
    const Table table = ReadTable(csv);
    const auto [time, value] = ChooseColumns(table);
    const bool hours = Contains(Lower(time.name), "hour") || Contains(Lower(time.name), "(h)");
    const auto values = ReadValues(table, time, value, hours ? 60 : 1);
    std::string why;
    const ObservedKind chosen = kind ? *kind : GuessKind(value.name, values, why);
    if (kind) why = " (as asked)";
    if (chosen != ObservedKind::Cumulative && values.size() < 2)
        Refuse("One row gives no interval: a record of depths or intensities needs two rows "
               "at least.");
    ObservedRecord record;
    if (chosen == ObservedKind::Cumulative) {
        const auto [start, base] = values.front();
        for (const auto& [at, cumulative] : values) {
            if (cumulative < base + (record.points.empty() ? 0 : record.points.back().second))
                Refuse("The cumulative depth " + std::to_string(cumulative) + " at " +
                       std::to_string(at) + " min is less than the one before.");
            record.points.emplace_back(at - start, cumulative - base);
        }
    } else {
        const double start = values[0].first - (values[1].first - values[0].first);
        record.points.emplace_back(0, 0);
        double before = start, fallen = 0;
        for (const auto& [at, number] : values) {
            fallen += chosen == ObservedKind::Intensity ? number * (at - before) / 60 : number;
            record.points.emplace_back(at - start, fallen);
            before = at;
        }
    }
    std::ostringstream reading;
    reading << "Read " << values.size() << " rows: time from " << Describe(time)
            << (hours ? " in hours" : " in minutes") << ", rainfall from " << Describe(value)
            << " as " << KindWords(chosen) << why << "; " << record.points.back().second
            << " in over " << record.points.back().first << " min.";
    record.reading = reading.str();
    return record;
}

double ObservedCumulative(const ObservedRecord& record, double minutes) {
    const auto& points = record.points;
    if (minutes <= points.front().first) return points.front().second;
    for (std::size_t i = 1; i < points.size(); ++i) {
        if (minutes <= points[i].first) {
            const auto [t0, c0] = points[i - 1];
            const auto [t1, c1] = points[i];
            return c0 + (c1 - c0) * (minutes - t0) / (t1 - t0);
        }
    }
    return points.back().second;
}

} // namespace tovan
