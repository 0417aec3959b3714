#include "editing/CellRules.h"

#include "deck/modChangeSpread.h"
#include "fortranio/DecimalRounding.h"
#include "fortranio/FieldValue.h"
#include "fortranio/NumericText.h"

#include <charconv>
#include <exception>

namespace tovan {

namespace {

constexpr int kOptionCol = 1, kOptionRow = 2;

// The fitted text as the single-precision number the cell stores.
std::string AsSingle(std::string_view fitted) {
    const auto parts = ParseNumericText(fitted);
    if (!parts) return std::string(fitted);
    std::string digits(TrimBlanks(fitted));
    if (!digits.empty() && digits.front() == '+') digits.erase(0, 1);
    float value = 0.0F;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return ShortestText(value);
}

} // namespace

std::string CheckFieldWidth(int width, int decimals, std::string_view value, Platform& platform) {
    const auto fieldWidth = static_cast<std::size_t>(std::max(width, 0));
    if (value.empty()) return std::string(fieldWidth, ' ');
    const auto parts = ParseNumericText(value);
    std::string text = parts ? FormatFixedPoint(*parts, decimals, 400).value_or("") : "";
    if (text.size() > fieldWidth) {
        platform.showMessage(
            "The value you have entered is wider than the field allows. The value will be cut "
            "off on the right side to make it fit. The largest allowed value in this field is " +
                std::to_string(width - 1) + " significant figures and 1 decimal point. (Required)",
            MessageIcon::Critical, "Value Change");
        text.resize(fieldWidth);
    }
    return text;
}

template <typename Body>
void CellRules::trapped(std::string_view title, Body&& body) {
    try {
        body();
    } catch (const std::exception& error) {
        platform_.showMessage(error.what(), MessageIcon::Exclamation, title);
    }
}

void CellRules::fitNumber(Grid& grid, int col, int row, int width, int decimals) {
    const std::string entered = grid.value(col, row);
    if (entered.empty()) return;
    if (!IsNumericText(entered)) {
        // Only the plain text cells of B2 rows 7 and on let a non-number through; a deck field
        // of numbers cannot hold it, so it is refused rather than saved as asterisks.
        platform_.showMessage("The value you have entered is not a number.", MessageIcon::Critical,
                              "Value Change");
        grid.setValue(col, row, "");
        return;
    }
    grid.setValue(col, row, AsSingle(CheckFieldWidth(width, decimals, entered, platform_)));
}

void CellRules::rememberRainOption() {
    savedRainOption_ = grids_.fpCardA.value(kOptionCol, kOptionRow);
}

void CellRules::fpCardA_Change(int, int) {
    Grid& a = grids_.fpCardA;
    form_.hideAllGrids();
    app_.DeckChanged = true;
    form_.showCardAOptionCell();
    const std::string& option = a.value(kOptionCol, kOptionRow);
    if (savedRainOption_ && !savedRainOption_->empty() && option != *savedRainOption_) {
        platform_.showMessage(
            "The program does not allow the user to change this parameter once it has been "
            "set. please start a new project if you need to change this input.",
            MessageIcon::Information, "Beta Release Limitation");
        a.setValue(kOptionCol, kOptionRow, *savedRainOption_);
        return;
    }
    if (option == "0") {
        form_.enableB1Button(true);
        form_.enableB2Button(false);
    } else if (option == "1") {
        form_.enableB1Button(false);
        form_.enableB2Button(true);
    }
    savedRainOption_ = option;
    form_.setTitle("Record Set A");
}

void CellRules::fpCardB1_Change(int col, int row) {
    form_.enableCDButton();
    app_.DeckChanged = true;
    if (col >= col::kB1FirstDepth && col <= col::kB1LastFactor) {
        fitNumber(grids_.fpCardB1, col, row, 4, 3);
    }
}

void CellRules::fpCardB2_Change(int col, int row) {
    form_.enableCDButton();
    app_.DeckChanged = true;
    if (col == col::kB2Depth) fitNumber(grids_.fpCardB2, col, row, 5, 4);
    if (col >= col::kB2FirstFactor && col <= col::kB2LastFactor) {
        fitNumber(grids_.fpCardB2, col, row, 4, 3);
    }
}

void CellRules::fpCardC_Change(int col, int row) {
    app_.DeckChanged = true;
    if (col == col::kCUnitDuration) fitNumber(grids_.fpCardC, col, row, 3, 2);
}

// The optional fields of record D switch each other on and off, in the row that changed.
void CellRules::applyDColumnRules(int col, int row, const std::string& s) {
    Grid& d = grids_.fpCardD;
    const auto clear = [&](int first, int last) { d.clearBlock(first, row, last, row); };
    if (col == col::kDDciaLevel && !s.empty()) {
        clear(col::kDDciaFraction, col::kDReceivingFraction);
        if (s != "3") clear(col::kDWqcv, col::kDDrainTime);
    } else if ((col == col::kDDciaFraction || col == col::kDReceivingFraction) && !s.empty()) {
        d.clear(col::kDDciaLevel, row);
    } else if ((col == col::kDWqcv || col == col::kDDrainTime) && !s.empty()) {
        d.setValue(col::kDDciaLevel, row, "3");
        d.setValue(col::kDUseD1, row, "1");
    } else if (col == col::kDUseD1 && s != "1") {
        clear(col::kDFirstD1, col::kDLastD1);
        if (s.empty()) d.setValue(col::kDUseD1, row, "0");
    } else if (col >= col::kDFirstD1 && col <= col::kDLastD1 && !s.empty()) {
        d.setValue(col::kDUseD1, row, "1");
    }
}

void CellRules::fpCardD_Change(int col, int row) {
    trapped("fpCardD_Change Error!", [&] {
        if (row < 2) return;
        const std::string entered = grids_.fpCardD.value(col, row);
        if (col != col::kDDciaLevel && col != col::kDUseD1) {
            fitNumber(grids_.fpCardD, col, row, 5, 4);
        }
        applyDColumnRules(col, row, entered);
        app_.DeckChanged = true;
    });
}

void CellRules::fpCardC_Click(int col, int row) {
    trapped("fpCardC_Click Error!", [&] { grids_.fpCardD.setActiveCell(col, row); });
}

void CellRules::fpCardD_Click(int col, int row) {
    trapped("fpCardD_Click Error!", [&] { grids_.fpCardC.setActiveCell(col < 10 ? col : 2, row); });
    fpCardD_Change(col, row);
}

void CellRules::fpCardB1_ButtonClicked(int col, int) {
    if (col == 1) AddRow(grids_.fpCardB1, platform_);
}

void CellRules::fpCardC_ButtonClicked(int col, int) {
    trapped("fpCardC_ButtonClicked Error!", [&] {
        if (col != 1) return;
        const Grid& c = grids_.fpCardC;
        const int last = c.dataRowCnt();
        if (c.value(col::kCPrint, last).empty()) {
            platform_.showMessage("You must enter a Print Option", MessageIcon::Critical,
                                  kApplicationTitle);
        } else if (c.value(col::kCRational, last).empty()) {
            platform_.showMessage("You must enter a Rational Formula Option", MessageIcon::Critical,
                                  kApplicationTitle);
        } else {
            AddRow(grids_.fpCardC, platform_);
            AddRow(grids_.fpCardD, platform_);
        }
    });
}

void CellRules::fpCardD_ButtonClicked(int col, int) {
    trapped("fpCardD_ButtonClicked Error!", [&] {
        if (col == col::kDSlope) form_.showSlopeCalculator();
    });
}

void CellRules::LockD1Blocks() {
    Grid& d = grids_.fpCardD;
    for (int row = 2; row <= d.dataRowCnt(); ++row) {
        const std::string& useD1 = d.value(col::kDUseD1, row);
        if (useD1 != "1" && useD1 != "0") continue;
        if (useD1 == "0") d.clearBlock(col::kDFirstD1, row, col::kDLastD1, row);
        for (int c = col::kDFirstD1; c <= col::kDLastD1; ++c)
            d.setLocked(c, row, useD1 == "0");
    }
}

} // namespace tovan
