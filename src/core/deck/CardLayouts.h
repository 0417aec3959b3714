// The column layout of every card type of the deck, in one place for the readers and the
// writer: each field's descriptor as written, its descriptor as read, and the grid column that
// holds it (0 when the field has no grid column: a blank, a skip, or a value the card code
// computes, such as an option mapped from a list index).
//
// Written numbers always carry a point, so the readers' fewer decimals only matter for a
// number typed into a deck by hand without one.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace tovan {

struct CardField {
    std::string_view writeDescriptor;
    std::string_view readDescriptor;
    int gridColumn;
};

namespace cards {

// Card A: blank, rainfall option (list index + 1), project title.
inline constexpr std::array<CardField, 3> kA{{{"A1", "A1", 0}, {"I1", "I1", 1}, {"A72", "A72", 2}}};

// Card B1 without factors: storm number, identification, 17 depths (grid columns 3 to 19).
inline constexpr std::array<CardField, 19> kB1{{
    {"I2", "I2", 1},      {"A10", "A10", 2},    {"F4.3", "F4.2", 3},  {"F4.3", "F4.2", 4},
    {"F4.3", "F4.2", 5},  {"F4.3", "F4.2", 6},  {"F4.3", "F4.2", 7},  {"F4.3", "F4.2", 8},
    {"F4.3", "F4.2", 9},  {"F4.3", "F4.2", 10}, {"F4.3", "F4.2", 11}, {"F4.3", "F4.2", 12},
    {"F4.3", "F4.2", 13}, {"F4.3", "F4.2", 14}, {"F4.3", "F4.2", 15}, {"F4.3", "F4.2", 16},
    {"F4.3", "F4.2", 17}, {"F4.3", "F4.2", 18}, {"F4.3", "F4.2", 19},
}};

// Card B1.2 with factors: 13 depths (grid columns 3 to 15), then the four correction factors
// (grid columns 20 to 23) in the columns of depths 14 to 17.
inline constexpr std::array<CardField, 19> kB1WithFactors{{
    {"I2", "I2", 1},      {"A10", "A10", 2},    {"F4.3", "F4.2", 3},  {"F4.3", "F4.2", 4},
    {"F4.3", "F4.2", 5},  {"F4.3", "F4.2", 6},  {"F4.3", "F4.2", 7},  {"F4.3", "F4.2", 8},
    {"F4.3", "F4.2", 9},  {"F4.3", "F4.2", 10}, {"F4.3", "F4.2", 11}, {"F4.3", "F4.2", 12},
    {"F4.3", "F4.2", 13}, {"F4.3", "F4.2", 14}, {"F4.3", "F4.2", 15}, {"F4.3", "F4.2", 20},
    {"F4.3", "F4.2", 21}, {"F4.3", "F4.2", 22}, {"F4.3", "F4.2", 23},
}};

// Card B2: storm number, identification, return period in years (from the list index),
// one-hour depth, 44 blanks, four correction factors.
inline constexpr std::array<CardField, 9> kB2{{
    {"I2", "I2", 1},
    {"A10", "A10", 2},
    {"I3", "I3", 0},
    {"F5.4", "F5.2", 4},
    {"44X", "44X", 0},
    {"F4.3", "F4.2", 5},
    {"F4.3", "F4.2", 6},
    {"F4.3", "F4.2", 7},
    {"F4.3", "F4.2", 8},
}};

// Card C: blank, print option (code from the list index), rational formula option, first and
// last storm, unit duration, identification, number, description.
inline constexpr std::array<CardField, 9> kC{{
    {"A1", "A1", 0},
    {"I1", "I1", 0},
    {"I1", "I1", 3},
    {"I2", "I2", 4},
    {"I2", "I2", 5},
    {"F3.2", "F3.1", 6},
    {"A6", "A6", 7},
    {"I3", "I3", 8},
    {"A60", "A60", 9},
}};

// Card D: the card order of the optional fields differs from the grid's column order.
inline constexpr std::array<CardField, 17> kD{{
    {"F5.4", "F5.0", 2},
    {"F5.4", "F5.0", 3},
    {"F5.4", "F5.0", 4},
    {"F5.4", "F5.0", 5},
    {"F5.4", "F5.0", 6},
    {"F5.4", "F5.0", 7},
    {"F5.4", "F5.0", 8},
    {"F5.4", "F5.0", 9},
    {"F5.4", "F5.0", 10},
    {"F5.4", "F5.0", 11},
    {"F5.4", "F5.0", 12},
    {"F5.4", "F5.0", 18},
    {"I1", "I1", 19},
    {"3X", "3X", 0},
    {"I1", "I1", 13},
    {"F5.4", "F5.0", 14},
    {"F5.4", "F5.0", 15},
}};

// Card D1: the six unit-hydrograph overrides, then the water-quality volume and drain time.
inline constexpr std::array<CardField, 8> kD1{{
    {"F5.4", "F5.0", 20},
    {"F5.4", "F5.0", 21},
    {"F5.4", "F5.0", 22},
    {"F5.4", "F5.0", 23},
    {"F5.4", "F5.0", 24},
    {"F5.4", "F5.0", 25},
    {"F5.4", "F5.0", 16},
    {"F5.4", "F5.0", 17},
}};

// The end card, and the line that ends the B record set.
inline constexpr std::string_view kEndCard = "E";
inline constexpr std::string_view kEndOfBRecords = "";

} // namespace cards

// The reading descriptors of a card layout, in field order, for FortranRead.
template <std::size_t N>
constexpr std::array<std::string_view, N> ReadDescriptors(const std::array<CardField, N>& card) {
    std::array<std::string_view, N> descriptors{};
    for (std::size_t i = 0; i < N; ++i)
        descriptors[i] = card[i].readDescriptor;
    return descriptors;
}

} // namespace tovan
