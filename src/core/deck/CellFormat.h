// What kind of cell a grid cell is, with the limits and lists that come with its kind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tovan {

// The numbers of Edit, Float, Integer and ComboBox are the type codes that row insertion
// copies; Label and Button are display-only kinds that never hold a record value.
enum class CellType : std::uint8_t {
    Edit = 1,
    Float = 2,
    Integer = 3,
    Label = 5,
    Button = 7,
    ComboBox = 8,
};

enum class HorizontalAlignment : std::uint8_t { Default, Left, Center, Right };
enum class VerticalAlignment : std::uint8_t { Default, Top, Center, Bottom };

// New edit cells (and the cells of a grid before anything is set) allow 60 characters.
inline constexpr int kDefaultEditMaxLength = 60;

struct CellFormat {
    CellType type = CellType::Edit;
    int maxLength = kDefaultEditMaxLength; // Edit
    double floatMin = 0.0;                 // Float
    double floatMax = 0.0;
    int decimals = 0;
    long integerMin = 0; // Integer
    long integerMax = 0;
    std::vector<std::string> items; // ComboBox: item texts; the cell value is the 0-based index
    bool comboEditable = false;     // ComboBox: the two further settings of a list cell
    int comboMaxDrop = 8;
    std::string caption; // Button
    HorizontalAlignment horizontal = HorizontalAlignment::Default;
    VerticalAlignment vertical = VerticalAlignment::Default;

    static CellFormat Edit(int maxLength);
    static CellFormat Float(double minimum, double maximum, int decimals);
    static CellFormat Integer(long minimum, long maximum);
    static CellFormat ComboBox(std::vector<std::string> items);
    static CellFormat Button(std::string caption);
    static CellFormat Label();

    friend bool operator==(const CellFormat&, const CellFormat&) = default;
};

// Background colour of a cell, for display only.
struct CellColor {
    enum class Role : std::uint8_t { Window, Rgb, ButtonFace };
    Role role = Role::Window;
    std::uint8_t red = 255, green = 255, blue = 255;

    static CellColor Window() { return {}; }
    static CellColor Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return {Role::Rgb, r, g, b};
    }
    static CellColor ButtonFace() { return {Role::ButtonFace, 192, 192, 192}; }

    friend bool operator==(const CellColor&, const CellColor&) = default;
};

inline constexpr CellColor kLabelGrey = {CellColor::Role::Rgb, 192, 192, 192};
inline constexpr CellColor kOptionalLabelRed = {CellColor::Role::Rgb, 255, 0, 0};

} // namespace tovan
