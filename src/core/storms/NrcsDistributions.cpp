// The NRCS (SCS) 24-hour rainfall distributions, Types I, IA, II and III: the dimensionless
// cumulative tables of TR-55 (USDA Soil Conservation Service, "Urban Hydrology for Small
// Watersheds", Technical Release 55, 2nd ed., June 1986), as tabulated in Chow, Maidment and
// Mays, "Applied Hydrology" (1988), table 14.4.1. docs/storms.md prints them.
//
// Between the table's points the curve is a monotone cubic (Fritsch and Carlson's conditions,
// with Fritsch and Butland's slopes): it passes through every published point, never falls,
// and spreads the rain of a long table interval smoothly instead of in steps of constant
// intensity, which would put a sharp corner at every table hour.
#include "storms/DesignStorms.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tovan {

namespace {

using Table = std::vector<std::pair<double, double>>;

constexpr std::array<double, 23> kHours{0,    2,    4,    6,    7,  8,    8.5,   9,
                                        9.5,  9.75, 10,   10.5, 11, 11.5, 11.75, 12,
                                        12.5, 13,   13.5, 14,   16, 20,   24};

constexpr std::array<double, 23> kTypeI{0,     0.035, 0.076, 0.125, 0.156, 0.194, 0.219, 0.254,
                                        0.303, 0.362, 0.515, 0.583, 0.624, 0.654, 0.669, 0.682,
                                        0.706, 0.727, 0.748, 0.767, 0.830, 0.926, 1.000};
constexpr std::array<double, 23> kTypeIA{0,     0.050, 0.116, 0.206, 0.268, 0.425, 0.480, 0.520,
                                         0.550, 0.564, 0.577, 0.601, 0.624, 0.645, 0.655, 0.664,
                                         0.683, 0.701, 0.719, 0.736, 0.800, 0.906, 1.000};
constexpr std::array<double, 23> kTypeII{0,     0.022, 0.048, 0.080, 0.098, 0.120, 0.133, 0.147,
                                         0.163, 0.172, 0.181, 0.204, 0.235, 0.283, 0.357, 0.663,
                                         0.735, 0.772, 0.799, 0.820, 0.880, 0.952, 1.000};
constexpr std::array<double, 23> kTypeIII{0,     0.020, 0.043, 0.072, 0.089, 0.115, 0.130, 0.148,
                                          0.167, 0.178, 0.189, 0.216, 0.250, 0.298, 0.339, 0.500,
                                          0.702, 0.751, 0.785, 0.811, 0.886, 0.957, 1.000};

Table MakeTable(const std::array<double, 23>& fractions) {
    Table table;
    for (std::size_t i = 0; i < kHours.size(); ++i)
        table.emplace_back(kHours[i], fractions[i]);
    return table;
}

// The slope at every point: zero where the curve is flat on either side, else the weighted
// harmonic mean of the two secants, which keeps the cubic between its two points monotone.
std::vector<double> MonotoneSlopes(const Table& table) {
    const std::size_t n = table.size();
    std::vector<double> secant(n - 1), slope(n);
    for (std::size_t i = 0; i + 1 < n; ++i)
        secant[i] = (table[i + 1].second - table[i].second) / (table[i + 1].first - table[i].first);
    slope.front() = secant.front();
    slope.back() = secant.back();
    for (std::size_t i = 1; i + 1 < n; ++i) {
        if (secant[i - 1] <= 0 || secant[i] <= 0) continue; // stays 0
        const double before = table[i].first - table[i - 1].first;
        const double after = table[i + 1].first - table[i].first;
        const double w1 = 2 * after + before, w2 = after + 2 * before;
        slope[i] = (w1 + w2) / (w1 / secant[i - 1] + w2 / secant[i]);
    }
    return slope;
}

struct Distribution {
    Table table;
    std::vector<double> slopes;
    explicit Distribution(const std::array<double, 23>& fractions)
        : table(MakeTable(fractions)), slopes(MonotoneSlopes(table)) {}

    double at(double hours) const {
        if (hours <= table.front().first) return table.front().second;
        if (hours >= table.back().first) return table.back().second;
        const auto next =
            std::upper_bound(table.begin(), table.end(), hours,
                             [](double h, const auto& point) { return h < point.first; });
        const std::size_t i = static_cast<std::size_t>(next - table.begin()) - 1;
        const double h = table[i + 1].first - table[i].first;
        const double s = (hours - table[i].first) / h;
        const double s2 = s * s, s3 = s2 * s;
        const double value =
            (2 * s3 - 3 * s2 + 1) * table[i].second + (s3 - 2 * s2 + s) * h * slopes[i] +
            (-2 * s3 + 3 * s2) * table[i + 1].second + (s3 - s2) * h * slopes[i + 1];
        // Rounding of the cubic's terms must not step outside the two points it joins.
        return std::clamp(value, table[i].second, table[i + 1].second);
    }
};

const Distribution& DistributionOf(StormMethod method) {
    static const Distribution typeI(kTypeI), typeIA(kTypeIA), typeII(kTypeII), typeIII(kTypeIII);
    switch (method) {
    case StormMethod::Nrcs1:
        return typeI;
    case StormMethod::Nrcs1A:
        return typeIA;
    case StormMethod::Nrcs3:
        return typeIII;
    default:
        return typeII;
    }
}

} // namespace

double NrcsCumulativeFraction(StormMethod method, double hours) {
    return DistributionOf(method).at(hours);
}

const std::vector<std::pair<double, double>>& NrcsTable(StormMethod method) {
    return DistributionOf(method).table;
}

} // namespace tovan
