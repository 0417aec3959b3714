// The messages of the save rules, with the icon and title of their boxes. The texts are shown to
// users exactly as engineers have known them for years, misspellings included; do not correct
// them.
#pragma once

#include "platform/Platform.h"

#include <string_view>

namespace tovan::save_messages {

struct SaveMessage {
    std::string_view text;
    MessageIcon icon;
    std::string_view title;
};

inline constexpr std::string_view kTitle = "SaveFile";
// A box shown without a title of its own carries the application's title.
using tovan::kApplicationTitle;

constexpr SaveMessage Box(std::string_view text) {
    return {text, MessageIcon::Exclamation, kTitle};
}

// Record A.
inline constexpr SaveMessage kNoRainfallMethod = Box("You must select a method of rainfall input.");
inline constexpr SaveMessage kNoProjectTitle = Box("You must give a description to the file.");

// Record B1.
inline constexpr SaveMessage kB1FirstCardNoStorm =
    Box("All B1 cards must have a storm ID number. The file cannot be saved until this is "
        "corrected.");
inline constexpr SaveMessage kB1DepthsAndFactors =
    Box("Data cannot be in both fields 16-19 and 20-22 on a B1 Card. The file cannot be saved "
        "until this is corrected.");
inline constexpr SaveMessage kB1NoStormNumber =
    Box("All B1 cards must have a storm number. The file cannot be saved until this is "
        "corrected.");
inline constexpr SaveMessage kB1NoStormId = {"You must give all B1 cards a storm ID.",
                                             MessageIcon::Exclamation, "Save File"};
inline constexpr SaveMessage kB1FactorsNotLast =
    Box("Optional parameters must always appear on the last B1.2 card. The file cannot be saved "
        "until this is corrected.");
inline constexpr SaveMessage kB1FactorsOnFirstCard =
    Box("Optional parameters may not be on a B1.1 Card. Add a new card to use optional "
        "parameters. The file cannot be saved until this is corrected.");

// Record B2.
inline constexpr SaveMessage kB2NoStormNumber =
    Box("All B2 cards must have a storm number. The file cannot be saved until this is "
        "corrected.");
inline constexpr SaveMessage kB2NoStormId = Box("All B2 cards must have a storm ID");
inline constexpr SaveMessage kB2DuplicateStorm =
    Box("Duplicate storm IDs where encountered on card B2. The file cannot be saved until this "
        "is corrected.");
inline constexpr SaveMessage kB2NoReturnPeriod = Box("All B2 must have a return period");
inline constexpr SaveMessage kB2BadReturnPeriod = {
    "An error was encountered reading the return period.", MessageIcon::None, kApplicationTitle};

// Records C and D.
inline constexpr SaveMessage kCDMismatch =
    Box("There is a mismatch in the number of C and D cards. The file cannot be saved until this "
        "is corrected.");
inline constexpr SaveMessage kCNoPrintOption =
    Box("You must select a print output option on every C card.");
inline constexpr SaveMessage kCBadRationalFormula =
    Box("Error reading the value in the Rational Formula field. Please recheck.");
inline constexpr SaveMessage kCNoTimeUnit = Box("You must select a Time Unit for every C card.");
inline constexpr SaveMessage kCBadCatchmentNumber =
    Box("You must provide a Catchment ID > 0 and < 999 for a catchement with print options 7, 8, "
        "or 9.");
inline constexpr SaveMessage kDNoArea = Box("You must provide a catchment area for every D card.");
inline constexpr SaveMessage kDNoLength =
    Box("You must provide a catchment length for every D card.");
inline constexpr SaveMessage kDNoCentroid =
    Box("You must provide a centroid distance for every D card.");
inline constexpr SaveMessage kDNoImperviousness =
    Box("You must provide a catchment imperviousness for every D card.");
inline constexpr SaveMessage kDNoSlope = Box("You must provide a weighted slope for every D card.");
inline constexpr SaveMessage kDNoPerviousStorage =
    Box("You must provide an average maximum depression storage (Pervious) for every D card.");
inline constexpr SaveMessage kDNoImperviousStorage =
    Box("You must provide an average maximum depression storage (Impervious) for every D card.");
inline constexpr SaveMessage kDNoInitialInfiltration =
    Box("You must provide an inital infiltration rate for every D card.");
inline constexpr SaveMessage kDNoDecay =
    Box("You must provide a Horton's Decay Coefficient for every D card.");
inline constexpr SaveMessage kDNoFinalInfiltration =
    Box("You must provide a final infiltration rate for every D card.");

// After writing, when any warning fired.
inline constexpr SaveMessage kUnusable =
    Box("The file was saved, but cannot be used in the TOVAN model because some of the data is "
        "invalid, missing, or corrupt.");

} // namespace tovan::save_messages
