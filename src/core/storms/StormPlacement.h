// A design storm in record set B1: its depths as the deck's fields write them, its cards, and
// the rows it takes in the grid.
#pragma once

#include "deck/Grid.h"
#include "deck/RecordSets.h"
#include "storms/DesignStorms.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tovan {

// The depths as the save writes them ("F4.3": thousandths below 1 in, hundredths below 10 in,
// tenths below 100 in, whole inches below 1000 in). Each depth is the rounding of what the
// storm still owes: the exact running total less what has been written so far, so the
// rounding never adds up and the written total is the requested total in thousandths.
struct WrittenStorm {
    std::vector<std::string> cells;     // each depth as the grid holds it once the deck is read
    std::vector<long long> thousandths; // the same in thousandths of an inch
    long long totalThousandths = 0;
    // How far the written total would be from the requested one had each depth been rounded on
    // its own (inches): what carrying the residual saves.
    double uncarriedError = 0;
};

// Throws StormInputError (parameter "depth") when a depth does not fit its field.
WrittenStorm WriteStormDepths(const StormDepths& storm);

// "5.000": thousandths of an inch as a decimal text.
std::string ThousandthsText(long long thousandths);

// The rows (23 columns each, as grid record set B1 has them) of storm `number`: one card when
// the storm has at most 17 steps and no correction factors; otherwise cards of 17 steps and a
// last card of at most 13, whose columns 65-80 the reader always takes as the factors. When
// the steps would leave 14 to 17 for that card, it carries none, only the number,
// identification and factors.
using StormRow = std::array<std::string, 23>;
std::vector<StormRow> StormCardRows(int number, const std::string& ident,
                                    const std::vector<std::string>& cells,
                                    const std::array<std::string, 4>& factors);

// The rows of storm `number` in the B1 grid (first, last), or nothing.
std::optional<std::pair<int, int>> RowsOfStorm(const Grid& b1, int number);
// The correction factors on the storm's last card (empty texts when it has none).
std::array<std::string, 4> FactorsOfStorm(const Grid& b1, int number);
// The lowest storm number from 1 to 99 that no B1 row holds; 0 when all are taken.
int NextFreeStormNumber(const Grid& b1);

// Puts the rows into the grid: in place of storm `replacing` when it is not 0, else after the
// last row that holds anything (empty rows left at the end are filled first). Values only go
// through the grid's cells, so an undo history records them.
void PlaceStormRows(Grid& b1, const std::vector<StormRow>& rows, int replacing);

// An identification for the 10 columns of the card that names the method, the depth and the
// step: "N2 5/5m" (the step's mark, deck/StormIdent.h, always at its end).
std::string SuggestedIdent(StormMethod method, double depth, double step);

// What a storm of the B1 grid is: its steps (up to the last depth given), total, peak.
struct StormSummary {
    int number = 0;
    int firstRow = 0, lastRow = 0;
    std::string ident;
    int steps = 0;
    double total = 0, peak = 0;
    int peakStep = 0; // from 1
};
std::vector<StormSummary> SummarizeStorms(const Grid& b1);
// The step (from 1) of the depth in `col`, `row` of the B1 grid; 0 for a column of no depth.
int StepOfCell(const Grid& b1, int col, int row);

// The step of a storm in minutes: what its identification names, else the unit duration of
// the catchments that process it.
double StormStepMinutes(const DeckGrids& grids, int firstRow);
// For the status bar: "storm 2 (N2 5/5m): 288 steps of 5 min, 24:00 long, 5.000 in, peak
// 0.666 in at step 143"; empty for a row of no storm.
std::string DescribeStormAt(const DeckGrids& grids, int row);
// For a depth cell's tooltip: "Step 20 of storm 2, 1:35 to 1:40 from its start"; empty for a
// cell of no depth.
std::string DescribeStepAt(const DeckGrids& grids, int col, int row);

// A storm to build and place, as the dialog and `tovandeck storm --into` ask for it.
struct StormRequest {
    StormMethod method = StormMethod::Nrcs2;
    StormParameters parameters; // a step of 0 takes DefaultStep's
    int number = 0;             // 0: the next free number
    std::string ident;          // empty: the suggested one
    bool replace = false;       // the storm of `number` is replaced rather than refused
};

struct PreparedStorm {
    StormDepths depths;
    WrittenStorm written;
    int number = 0;
    std::string ident;
    double step = 0;
    std::vector<StormRow> rows;
    bool replaces = false;
    std::vector<std::string> notes; // the catchments that process it at another unit duration
};

// The unit duration (minutes) of the catchments that would process storm `number`: the first
// catchment whose storm range holds it, else the first catchment's; 5 in a deck without one.
double DefaultStep(const DeckGrids& grids, int number);

// Builds the storm and its rows without touching the grids. Throws StormInputError for a
// parameter that cannot be used, and for a deck that cannot take the storm (parameter "deck":
// not a B1 deck; "number": taken, out of 1 to 99, or none free).
PreparedStorm PrepareStorm(const DeckGrids& grids, const StormRequest& request);
void PlaceStorm(DeckGrids& grids, const PreparedStorm& storm);

} // namespace tovan
