// The engine against the textbook cases of docs/engine.md: the page's table gives each case's
// textbook figure, the engine's and their difference, and this test computes the engine's again
// and holds the page to it, so that neither the page nor the engine can drift from the other.
#include "Hydrology.h"

#include <cmath>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

using namespace tovan::engine;

namespace {

// Snyder's standard unit hydrograph of a textbook basin: 100 sq mi, Cp 0.6, a lag of 8.6 h at
// the standard duration tp/5.5. This engine's lag has the slope term of urban practice,
// Ct (L Lc / sqrt S)^0.48; Ct is chosen so that L 18 mi, Lc 10 mi and S 0.01 give the 8.6 h.
UnitHydrograph TextbookSnyder() {
    UnitHydrographInput in;
    in.area = 100.0;
    in.length = 18.0;
    in.centroid = 10.0;
    in.slope = 0.01;
    in.ct = 8.6 / std::pow(18.0 * 10.0 / std::sqrt(0.01), 0.48);
    in.cp = 0.6;
    in.dt = 8.6 / 5.5;
    return SnyderUnitHydrograph(in).hydrograph.value();
}

// Horton's soil under ponding, f0 3 in/h, fc 0.5 in/h, k 2 /h, through the loss calculation:
// a pervious catchment without depression storage in a steady 5 in/h rain, steps of 0.01 h.
double HortonInfiltratedBy(double hours) {
    LossParameters p;
    p.f0 = 3.0;
    p.fc = 0.5;
    p.decay = 2.0 / 3600.0;
    const auto steps = static_cast<std::size_t>(std::lround(hours / 0.01));
    const std::vector<LossStep> losses = Losses(Hyetograph{0.01, std::vector(steps, 0.05)}, p);
    return std::accumulate(losses.begin(), losses.end(), 0.0,
                           [](double sum, const LossStep& s) { return sum + s.infiltration; });
}

// Rain less infiltration, capture, excess and what the depressions hold at the end, for a
// two-hour design storm of 2.6 in on a partly impervious catchment with every loss at work.
double MassBalanceResidual() {
    LossParameters p;
    p.impervious = 0.4;
    p.dsPervious = 0.35;
    p.dsImpervious = 0.1;
    p.f0 = 4.5;
    p.decay = 0.0018;
    p.fc = 0.6;
    p.connected = 0.7;
    p.receiving = 0.3;
    const std::vector<LossStep> steps = Losses(DesignStorm(2.6, 1.0 / 60.0), p);
    double residual = 0.0;
    for (const LossStep& s : steps)
        residual += s.rain - s.infiltration - s.captured - s.excess;
    return std::abs(residual - steps.back().stored);
}

// The engine's figure of each quantity of the table, by the words of its second column.
const std::map<std::string, std::function<double()>>& EngineFigures() {
    static const std::map<std::string, std::function<double()>> figures{
        {"lag for the unit duration (h)", [] { return TextbookSnyder().adjustedLag; }},
        {"peak (cfs)", [] { return TextbookSnyder().peak; }},
        {"W50 (h)",
         [] {
             const UnitHydrograph uh = TextbookSnyder();
             return uh.pointTimes[5] - uh.pointTimes[1];
         }},
        {"W75 (h)",
         [] {
             const UnitHydrograph uh = TextbookSnyder();
             return uh.pointTimes[4] - uh.pointTimes[2];
         }},
        {"infiltrated by 0.5 h (in)", [] { return HortonInfiltratedBy(0.5); }},
        {"infiltrated by 1 h (in)", [] { return HortonInfiltratedBy(1.0); }},
        {"rain not accounted for (in)", [] { return MassBalanceResidual(); }},
    };
    return figures;
}

struct Row {
    std::string quantity;
    // The difference in percent; for a textbook figure of 0, the most the engine may leave.
    double textbook, engine, difference;
};

std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::stringstream in(line);
    for (std::string cell; std::getline(in, cell, '|');) {
        const auto first = cell.find_first_not_of(' ');
        cells.push_back(first == std::string::npos
                            ? std::string()
                            : cell.substr(first, cell.find_last_not_of(' ') - first + 1));
    }
    return cells;
}

// The rows of the table under "## Checked against textbook cases".
std::vector<Row> TableRows() {
    std::ifstream page(std::string(TOVAN_EXAMPLES) + "/../docs/engine.md");
    std::vector<Row> rows;
    bool inSection = false;
    for (std::string line; std::getline(page, line);) {
        if (line.starts_with("## ")) inSection = line == "## Checked against textbook cases";
        if (!inSection || !line.starts_with("| ") || line.starts_with("| Case")) continue;
        const std::vector<std::string> cells = Cells(line);
        if (cells.size() < 6) continue;
        rows.push_back({cells[2], std::stod(cells[3]), std::stod(cells[4]), std::stod(cells[5])});
    }
    return rows;
}

} // namespace

TEST(TextbookCases, ThePageSaysWhatTheEngineComputes) {
    const std::vector<Row> rows = TableRows();
    ASSERT_EQ(rows.size(), EngineFigures().size()) << "a row for every quantity";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.quantity);
        const auto figure = EngineFigures().find(row.quantity);
        ASSERT_NE(figure, EngineFigures().end());
        const double engine = figure->second();
        if (row.textbook == 0.0) { // a balance: the difference column bounds what is left
            EXPECT_LE(std::abs(engine), row.difference);
            continue;
        }
        EXPECT_NEAR(engine, row.engine, 5e-6 * std::abs(row.engine)) << "the page's figure";
        EXPECT_NEAR(100.0 * (row.engine / row.textbook - 1.0), row.difference, 5e-3);
    }
}
