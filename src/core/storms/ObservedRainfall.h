// Observed rainfall from a CSV file: a time column and a value column that holds the depth of
// each interval, its mean intensity, or the cumulative depth.
#pragma once

#include "storms/DesignStorms.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovan {

struct ObservedRecord {
    // The cumulative curve: minutes from the record's start and inches fallen by then, from
    // (0, 0), times increasing.
    std::vector<std::pair<double, double>> points;
    std::string reading; // how the file was read, in a sentence for the user
};

// Reads the CSV text. A row gives the rain of the interval that ends at its time (a depth or a
// mean intensity in inches per hour); the first interval is as long as the second. A
// cumulative column gives the depth fallen by its time, from its first row. Times are minutes,
// or hours when the column's name says so, or h:mm clock times. Throws StormInputError
// (parameter "file") naming the row of anything it cannot use.
ObservedRecord ReadObservedRainfall(std::string_view csv,
                                    std::optional<ObservedKind> kind = std::nullopt);

// The depth fallen by `minutes` from the record's start, rain spread evenly within each of the
// record's intervals; the record's total after its end.
double ObservedCumulative(const ObservedRecord& record, double minutes);

// The fields of one CSV line: separated by `separator`, a field in double quotes may hold the
// separator and doubled quotes.
std::vector<std::string> SplitCsvLine(std::string_view line, char separator);

} // namespace tovan
