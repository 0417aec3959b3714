#include "deck/CellFormat.h"

namespace tovan {

CellFormat CellFormat::Edit(int maxLength) {
    CellFormat f;
    f.maxLength = maxLength;
    return f;
}

CellFormat CellFormat::Float(double minimum, double maximum, int decimals) {
    CellFormat f;
    f.type = CellType::Float;
    f.floatMin = minimum;
    f.floatMax = maximum;
    f.decimals = decimals;
    return f;
}

CellFormat CellFormat::Integer(long minimum, long maximum) {
    CellFormat f;
    f.type = CellType::Integer;
    f.integerMin = minimum;
    f.integerMax = maximum;
    return f;
}

CellFormat CellFormat::ComboBox(std::vector<std::string> items) {
    CellFormat f;
    f.type = CellType::ComboBox;
    f.items = std::move(items);
    return f;
}

CellFormat CellFormat::Button(std::string caption) {
    CellFormat f;
    f.type = CellType::Button;
    f.caption = std::move(caption);
    return f;
}

CellFormat CellFormat::Label() {
    CellFormat f;
    f.type = CellType::Label;
    return f;
}

} // namespace tovan
