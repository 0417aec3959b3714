// Builds engine decks card by card with the card layouts and FortranWrite, for the tests and
// the benchmarks: every column lands where the deck's own writer would put it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tovan::testing {

struct StormCards {
    int number = 1;
    std::string identification = "STORM";
    // B2 storms
    int returnPeriod = 100;
    double oneHourDepth = 0.0;
    // B1 storms
    std::vector<double> depths;
    std::optional<std::array<double, 4>> factors;
};

struct CatchmentCards {
    int printOption = 0;
    int rational = 0;
    int firstStorm = 1, lastStorm = 1;
    double unitDuration = 5.0; // minutes
    std::string identification = "AREA1";
    int number = 1;
    std::string description = "test catchment";
    double area = 1.0, length = 1.5, centroid = 0.7, impervious = 40.0, slope = 0.02, tc = 30.0;
    double dsPervious = 0.35, dsImpervious = 0.1, f0 = 4.5, decay = 0.0018, fc = 0.6;
    std::optional<double> cancelFactors;
    std::optional<int> dciaLevel;
    std::optional<double> connected, receiving;
    bool useD1 = false;
    std::optional<double> ct, cp, w50, w75, before50, before75, wqcv, drainTime;
};

struct DeckCards {
    int rainfallOption = 2; // 1: B1 depths, 2: B2 one-hour depths
    std::string title = "Test deck";
    std::vector<StormCards> storms;
    std::vector<CatchmentCards> catchments;
};

// A large one-hour-depth deck for the benchmarks: `storms` B2 storms and `catchments`
// catchments, each with every D field, a DCIA level and a D1 card.
DeckCards ManyCatchments(int catchments, int storms);

// The deck's text, lines ended by "\r\n".
std::string WriteDeck(const DeckCards& deck);

// Writes the deck to a file.
void WriteDeckFile(const std::string& path, const DeckCards& deck);

} // namespace tovan::testing
