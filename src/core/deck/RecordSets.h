// The five record-set grids that together are the document, laid out as a fresh editor shows
// them: labels in row 1 (grey, or red for optional fields), typed record cells, and the
// button rows of the B1, C and D grids.
#pragma once

#include "deck/Grid.h"

#include <string>
#include <string_view>
#include <vector>

namespace tovan {

struct DeckGrids {
    Grid fpCardA;
    Grid fpCardB1;
    Grid fpCardB2;
    Grid fpCardC;
    Grid fpCardD;

    DeckGrids();
};

// Builders of each grid in its initial state.
Grid MakeCardAGrid();
Grid MakeCardB1Grid();
Grid MakeCardB2Grid();
Grid MakeCardCGrid();
Grid MakeCardDGrid();

// Item lists of the combo-box cells, in index order.
const std::vector<std::string>& RainfallOptionItems();
const std::vector<std::string>& ReturnPeriodItems();
const std::vector<std::string>& PrintOptionItems();
const std::vector<std::string>& RationalFormulaItems();
const std::vector<std::string>& DciaLevelItems();
const std::vector<std::string>& UseCardD1Items();

// The row of the first catchment whose identification is `wanted` (blanks and case ignored) or,
// failing that, whose identification number is; 0 when there is none.
int CatchmentRowOf(const DeckGrids& grids, std::string_view wanted);

// Row 1 of a grid and its last row in the grids that end in a button row.
inline constexpr int kLabelRow = 1;
inline constexpr int kTemplateRow = 2;
inline constexpr int kB2StormRows = 100; // rows 2 to 101
inline constexpr int kB2TypedRows = 5;   // rows 2 to 6 carry typed cells; the rest are text

// Column numbers of fields that the rules of several modules name.
namespace col {
inline constexpr int kAOption = 1, kATitle = 2;
inline constexpr int kB1Storm = 1, kB1Ident = 2, kB1FirstDepth = 3, kB1LastDepth = 19,
                     kB1FirstFactor = 20, kB1LastFactor = 23;
inline constexpr int kB2Storm = 1, kB2Ident = 2, kB2ReturnPeriod = 3, kB2Depth = 4,
                     kB2FirstFactor = 5, kB2LastFactor = 8;
inline constexpr int kCPrint = 2, kCRational = 3, kCFirstStorm = 4, kCLastStorm = 5,
                     kCUnitDuration = 6, kCIdent = 7, kCNumber = 8, kCDescription = 9;
inline constexpr int kDArea = 2, kDLength = 3, kDCentroid = 4, kDImpervious = 5, kDSlope = 6,
                     kDTc = 7, kDPerviousStorage = 8, kDImperviousStorage = 9,
                     kDInitialInfiltration = 10, kDDecay = 11, kDFinalInfiltration = 12,
                     kDDciaLevel = 13, kDDciaFraction = 14, kDReceivingFraction = 15, kDWqcv = 16,
                     kDDrainTime = 17, kDOptionalInput = 18, kDUseD1 = 19, kDFirstD1 = 20,
                     kDLastD1 = 25;
} // namespace col

} // namespace tovan
