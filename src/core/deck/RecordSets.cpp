#include "deck/RecordSets.h"

#include <cctype>

namespace tovan {

namespace {

void SetLabel(Grid& grid, int col, const std::string& text, bool optional = false) {
    grid.setFormat(col, kLabelRow, CellFormat::Label());
    grid.setValue(col, kLabelRow, text);
    grid.setLocked(col, kLabelRow, true);
    grid.setBackColor(col, kLabelRow, optional ? kOptionalLabelRed : kLabelGrey);
}

void SetOptionalLabel(Grid& grid, int col, const std::string& text) {
    SetLabel(grid, col, text, true);
}

// Column 1 of the C and D records: no field, a locked grey edit cell.
void SetLockedGreyCell(Grid& grid, int col, int row) {
    grid.setFormat(col, row, CellFormat::Edit(kDefaultEditMaxLength));
    grid.setLocked(col, row, true);
    grid.setBackColor(col, row, kLabelGrey);
}

// The last row of the B1, C and D grids: one button, every other cell locked, grey and empty.
void SetButtonRow(Grid& grid, int buttonCol, const std::string& caption) {
    const int row = grid.maxRows();
    for (int c = 1; c <= grid.maxCols(); ++c) {
        if (c == buttonCol) {
            grid.setFormat(c, row, CellFormat::Button(caption));
        } else {
            SetLockedGreyCell(grid, c, row);
        }
    }
}

const std::string kStormNumber = "Storm Number:";
const std::string kStormIdent = "Storm Identification (date or return period):";
const std::string kFactorInitial =
    "Optional Correction Factor for Initial (or Uniform) Infiltration Rate:";
const std::string kFactorDecay =
    "Optional Correction Factor for Horton's Infiltration Decay Exponent:";
const std::string kFactorFinal = "Optional Correction Factor for Final Infiltration Rate:";
const std::string kFactorDepression = "Optional Correction Factor for Depression Loss Storage:";

void SetFactorLabels(Grid& grid, int firstCol) {
    SetOptionalLabel(grid, firstCol, kFactorInitial);
    SetOptionalLabel(grid, firstCol + 1, kFactorDecay);
    SetOptionalLabel(grid, firstCol + 2, kFactorFinal);
    SetOptionalLabel(grid, firstCol + 3, kFactorDepression);
}

} // namespace

const std::vector<std::string>& RainfallOptionItems() {
    static const std::vector<std::string> items{"1 - Detailed Hyetograph Input",
                                                "2 - 1-Hour Rainfall Depth Input"};
    return items;
}

const std::vector<std::string>& ReturnPeriodItems() {
    static const std::vector<std::string> items{"002", "005", "010", "050", "100"};
    return items;
}

const std::vector<std::string>& PrintOptionItems() {
    static const std::vector<std::string> items{
        "0 - Print catchment parameters, unit hydrograph, hyetograph, storm hydrograph, "
        "peakflow, and runoff volume",
        "1 - Print catchment parameters, unit hydrograph, hyetograph, tabular calculation of "
        "excess precipitation, storm hydrograph, pe",
        "2 - Print catchment parameters, unit hydrograph, peak flows, and runoff volume (No "
        "Storm Hydrograph)",
        "3 - Print same as option 2 above, write all storm hydrographs to disk for use with DRELM",
        "7 - Print same as option 0 above, write all storm hydrographs to disk for use with DRELM",
        "8 - Print same as option 1 above, write all storm hydrographs to disk for use with DRELM",
        "9 - Print same as option 2 above, write all storm hydrographs to disk for use with DRELM",
    };
    return items;
}

const std::vector<std::string>& RationalFormulaItems() {
    static const std::vector<std::string> items{
        "0 - Use if catchment is larger than 90 acres.  If you use the 1 hr storm and specify "
        "tc, Qpeak will also be estimated using CI",
        "1 - Use if catchment is less than 90 acres and larger than 5 acres.  Use Record B1 for "
        "rainfall.",
    };
    return items;
}

const std::vector<std::string>& DciaLevelItems() {
    static const std::vector<std::string> items{"0", "1", "2", "3"};
    return items;
}

const std::vector<std::string>& UseCardD1Items() {
    static const std::vector<std::string> items{"0", "1"};
    return items;
}

Grid MakeCardAGrid() {
    Grid grid("fpCardA", 2, 2);
    SetLabel(grid, col::kAOption, "Rainfall Data Input Options:");
    SetLabel(grid, col::kATitle, "Project Title and/or Identification:");
    grid.setFormat(col::kAOption, 2, CellFormat::ComboBox(RainfallOptionItems()));
    grid.setFormat(col::kATitle, 2, CellFormat::Edit(60));
    return grid;
}

Grid MakeCardB1Grid() {
    Grid grid("fpCardB1", 23, 3);
    SetLabel(grid, col::kB1Storm, kStormNumber);
    SetLabel(grid, col::kB1Ident, kStormIdent);
    for (int c = col::kB1FirstDepth; c <= col::kB1LastDepth; ++c) {
        SetLabel(grid, c,
                 c == 4 ? "Unit Time Rainfall Depth (inches);"
                        : "Unit Time Rainfall Depth (inches):");
    }
    SetFactorLabels(grid, col::kB1FirstFactor);

    grid.setFormat(col::kB1Storm, 2, CellFormat::Integer(1, 99));
    grid.setFormat(col::kB1Ident, 2, CellFormat::Edit(60));
    for (int c = col::kB1FirstDepth; c <= col::kB1LastFactor; ++c) {
        grid.setFormat(c, 2, CellFormat::Float(0, 999, 3));
    }
    SetButtonRow(grid, 1, "Add Row");
    return grid;
}

Grid MakeCardB2Grid() {
    Grid grid("fpCardB2", 8, 1 + kB2StormRows);
    SetLabel(grid, col::kB2Storm, kStormNumber);
    SetLabel(grid, col::kB2Ident, kStormIdent);
    SetLabel(grid, col::kB2ReturnPeriod, "Return Period (Years):");
    SetLabel(grid, col::kB2Depth, "One-hour Depth (inches):");
    SetFactorLabels(grid, col::kB2FirstFactor);

    for (int r = 2; r <= 1 + kB2TypedRows; ++r) {
        grid.setFormat(col::kB2Storm, r, CellFormat::Integer(1, 99));
        grid.setFormat(col::kB2Ident, r, CellFormat::Edit(60));
        grid.setFormat(col::kB2ReturnPeriod, r, CellFormat::ComboBox(ReturnPeriodItems()));
        grid.setFormat(col::kB2Depth, r, CellFormat::Float(0, 9999, 4));
        for (int c = col::kB2FirstFactor; c <= col::kB2LastFactor; ++c) {
            grid.setFormat(c, r, CellFormat::Float(-99, 999, 3));
        }
    }
    for (int r = 2 + kB2TypedRows; r <= grid.maxRows(); ++r) {
        for (int c = 1; c <= grid.maxCols(); ++c)
            grid.setFormat(c, r, CellFormat::Edit(60));
    }
    return grid;
}

Grid MakeCardCGrid() {
    Grid grid("fpCardC", 9, 3);
    SetLabel(grid, 1, "Record Set C");
    SetLabel(grid, col::kCPrint, "Select Print/Output Option:");
    SetLabel(grid, col::kCRational, "Use Rational Formula Option for Smaller Catchments:");
    SetLabel(grid, col::kCFirstStorm, "Number in Record B1 or B2 of First Storm to be Processed:");
    SetLabel(grid, col::kCLastStorm, "Number in Record B1 or B2 of Last Storm to be Processed:");
    SetLabel(grid, col::kCUnitDuration,
             "Unit Duration of Rainfall Increments and Unit Hydrograph:");
    SetLabel(grid, col::kCIdent, "Enter Catchment Identification:");
    SetLabel(grid, col::kCNumber, "Catchment Identification Number:");
    SetLabel(grid, col::kCDescription, "Catchment Description/Comment:");

    SetLockedGreyCell(grid, 1, 2);
    grid.setFormat(col::kCPrint, 2, CellFormat::ComboBox(PrintOptionItems()));
    grid.setFormat(col::kCRational, 2, CellFormat::ComboBox(RationalFormulaItems()));
    grid.setFormat(col::kCFirstStorm, 2, CellFormat::Integer(1, 99));
    grid.setFormat(col::kCLastStorm, 2, CellFormat::Integer(1, 99));
    grid.setFormat(col::kCUnitDuration, 2, CellFormat::Float(0, 99, 1));
    grid.setFormat(col::kCIdent, 2, CellFormat::Edit(6));
    grid.setFormat(col::kCNumber, 2, CellFormat::Integer(1, 399));
    grid.setFormat(col::kCDescription, 2, CellFormat::Edit(60));
    SetButtonRow(grid, 1, "Add Row C/D");
    return grid;
}

Grid MakeCardDGrid() {
    Grid grid("fpCardD", 25, 3);
    SetLabel(grid, 1, "Record Set D");
    SetLabel(grid, col::kDArea, "Catchment Area (sq. miles):");
    SetLabel(grid, col::kDLength, "Catchment Lenght (miles):");
    SetLabel(grid, col::kDCentroid, "Distance to Centroid (miles):");
    SetLabel(grid, col::kDImpervious, "Catchment Imperviousness (Percent):");
    SetLabel(grid, col::kDSlope, "Weighted Catchment Slope (feet/foot):");
    SetLabel(grid, col::kDTc, "Time of Concentration (minutes):");
    SetLabel(grid, col::kDPerviousStorage,
             "Average Maximum Depression Storage on Pervious Surfaces (inches):");
    SetLabel(grid, col::kDImperviousStorage,
             "Average Maximum Depression Storage on Impervious Surfaces (inches):");
    SetLabel(grid, col::kDInitialInfiltration, "Initial Infiltration Rate (in/hr):");
    SetLabel(grid, col::kDDecay, "Horton's Exponential Decay Rate Coefficient (1/Second):");
    SetLabel(grid, col::kDFinalInfiltration, "Final Infiltration Rate (in/hr):");
    SetOptionalLabel(grid, col::kDDciaLevel,
                     "(Optional) Level of MInimized Directly Connected Impervious Fraction:");
    SetOptionalLabel(grid, col::kDDciaFraction,
                     "(Optional) Directly Hydraulically Connected Impervious Fraction of "
                     "Impervious Fraction of Impervious Area (decimal):");
    SetOptionalLabel(grid, col::kDReceivingFraction,
                     "(Optional) Receiving Fraction of Pervious Area (decimal):");
    SetOptionalLabel(grid, col::kDWqcv,
                     "Design Water Quality Capture Volume (in.) for Level 3 DCIA:");
    SetOptionalLabel(grid, col::kDDrainTime, "Drain Time for WQCV (hours):");
    SetOptionalLabel(grid, col::kDOptionalInput,
                     "Optional input (nullifies all values of CINF, CDECAY, CFNINF, and CRET "
                     "entered in the last Record Set B1 or B2):");
    SetOptionalLabel(grid, col::kDUseD1,
                     "Use Card D1 (Enter 1 to use optional parameters on D1, enter 0 to ignore "
                     "D1):");
    SetOptionalLabel(grid, 20, "Coefficient Ct (override value):");
    SetOptionalLabel(grid, 21, "Coefficient Cp (override value):");
    SetOptionalLabel(grid, 22, "Width of Unit Hydrograph at 50% (minutes):");
    SetOptionalLabel(grid, 23, "Width of Unit Hydrograph at 75% (minutes):");
    SetOptionalLabel(grid, 24, "Fraction of W50 before Tp (default = 0.35):");
    SetOptionalLabel(grid, 25, "Fraction of W75 before Tp (default = 0.45):");

    SetLockedGreyCell(grid, 1, 2);
    for (int c = col::kDArea; c <= col::kDFinalInfiltration; ++c) {
        grid.setFormat(c, 2, CellFormat::Float(-9999, 9999, 4));
    }
    grid.setFormat(col::kDDciaLevel, 2, CellFormat::ComboBox(DciaLevelItems()));
    grid.setFormat(col::kDDciaFraction, 2, CellFormat::Float(0.01, 1, 3));
    grid.setFormat(col::kDReceivingFraction, 2, CellFormat::Float(0.01, 1, 3));
    grid.setFormat(col::kDWqcv, 2, CellFormat::Float(0, 99999.9999, 4));
    grid.setFormat(col::kDDrainTime, 2, CellFormat::Float(0, 9999, 4));
    grid.setFormat(col::kDOptionalInput, 2, CellFormat::Float(-9999.9999, 9999.9999, 4));
    grid.setFormat(col::kDUseD1, 2, CellFormat::ComboBox(UseCardD1Items()));
    for (int c = col::kDFirstD1; c <= col::kDLastD1; ++c) {
        grid.setFormat(c, 2, CellFormat::Float(-999, 9999, 4));
    }
    SetButtonRow(grid, col::kDSlope, "Build Slope");
    return grid;
}

DeckGrids::DeckGrids()
    : fpCardA(MakeCardAGrid()), fpCardB1(MakeCardB1Grid()), fpCardB2(MakeCardB2Grid()),
      fpCardC(MakeCardCGrid()), fpCardD(MakeCardDGrid()) {}

namespace {

std::string Folded(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    std::string folded(text);
    for (char& c : folded)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return folded;
}

} // namespace

int CatchmentRowOf(const DeckGrids& grids, std::string_view wanted) {
    const Grid& c = grids.fpCardC;
    const std::string sought = Folded(wanted);
    if (sought.empty()) return 0;
    const int last = c.maxRows() - 1; // the button row holds no catchment
    for (int row = kTemplateRow; row <= last; ++row) {
        if (Folded(c.value(col::kCIdent, row)) == sought) return row;
    }
    for (int row = kTemplateRow; row <= last; ++row) {
        if (Folded(c.value(col::kCNumber, row)) == sought) return row;
    }
    return 0;
}

} // namespace tovan
