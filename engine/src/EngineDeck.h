// The deck as the engine sees it: the storms and the catchments, read card by card with the
// deck's own card layouts. Problems that stop one storm or one catchment are collected as
// lines for the report; the rest of the deck is still used.
#pragma once

#include <istream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tovan::engine {

// The four optional correction factors of a storm, absent when not given.
struct CorrectionFactors {
    std::optional<double> initialRate, decay, finalRate, depression;
};

struct Storm {
    int number = 0;
    int line = 0; // line of its (first) card
    std::string identification;
    bool designStorm = false;   // a B2 storm: one-hour depth and return period
    int returnPeriod = 0;       // years (B2)
    double oneHourDepth = 0.0;  // inches (B2)
    std::vector<double> depths; // inches per unit duration (B1)
    CorrectionFactors factors;
    std::string problem; // set when the storm's values cannot be used
};

struct Catchment {
    int line = 0;   // line of its C card, for messages
    int dLine = 0;  // line of its D card
    int d1Line = 0; // line of its D1 card, 0 when it has none
    // Card C
    int printOption = 0;
    int rationalOption = 0;
    int firstStorm = 0, lastStorm = 0;
    double unitDuration = 0.0; // minutes, like every other duration of the deck
    std::string identification;
    int number = 0;
    std::string description;
    // Card D; absent fields are empty optionals
    std::optional<double> area, length, centroid, impervious, slope, tc;
    std::optional<double> dsPervious, dsImpervious, f0, decay, fc, cancelFactors;
    int useD1 = 0;
    std::optional<int> dciaLevel;
    std::optional<double> connectedFraction, receivingFraction;
    // Card D1
    std::optional<double> ct, cp, w50, w75, before50, before75, wqcv, drainTime;
    std::string problem; // set when the catchment's cards could not be read
};

// A finding about the deck as a whole or about one storm, for every catchment.
struct DeckMessage {
    int line = 0;
    std::string text;
    bool problem = true; // false: a note, the value is used as given
    int storm = 0;       // the storm it is about, 0 for none
};

struct EngineDeck {
    int rainfallOption = 0; // 1 = B1 hyetographs, 2 = B2 one-hour depths
    std::string title;
    std::vector<Storm> storms;
    std::vector<Catchment> catchments;
    std::vector<DeckMessage> messages; // about the deck and its storms, for the report

    const Storm* findStorm(int number) const;
};

EngineDeck ParseDeck(std::istream& in);

} // namespace tovan::engine
