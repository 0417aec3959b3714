// The engine's run over a whole deck: every catchment with every storm it asks for, and the
// three output files.
#pragma once

#include "EngineDeck.h"
#include "Hydrology.h"

#include <optional>
#include <string>
#include <vector>

namespace tovan::engine {

struct RationalResult {
    double c = 0.0;
    double tcMinutes = 0.0;
    bool tcFromKirpich = false;
    double intensity = 0.0; // in/hr
    double peak = 0.0;      // cfs
};

struct StormResult {
    int storm = 0;
    std::string problem; // set when this storm could not be computed
    const Storm* source = nullptr;
    bool factorsApplied = false;
    LossParameters losses; // after the correction factors
    Hyetograph rain;
    std::vector<LossStep> steps;
    std::vector<double> flows; // cfs at 0, dt, 2dt, ...
    Peak peak;
    double excessInches = 0.0;
    double volumeInches = 0.0;
    double capturedInches = 0.0;
    std::optional<RationalResult> rational;
};

// What the print/output option of card C asks for.
struct PrintContent {
    bool hyetograph = true;
    bool excessTable = false;
    bool stormHydrograph = true;
    bool toDrelm = false;
};
PrintContent ContentOf(int printOption, bool& known);

struct CatchmentResult {
    const Catchment* catchment = nullptr;
    std::string problem; // set when nothing of the catchment could be computed
    std::vector<std::string> notes;
    PrintContent content;
    LossParameters losses; // before the correction factors
    int dciaLevel = 0;
    double drainTimeHours = 0.0;
    UnitHydrograph uh;
    std::vector<StormResult> storms;
};

CatchmentResult ComputeCatchment(const EngineDeck& deck, const Catchment& c);

// Parameters of the loss model from card D (and D1 for the capture volume).
LossParameters LossParametersOf(const Catchment& c, int& level, std::vector<std::string>& notes);
// The storm's correction factors applied, unless the catchment cancels them.
LossParameters WithFactors(LossParameters p, const Storm& storm, const Catchment& c, bool& applied);
UnitHydrographInput UnitHydrographInputOf(const Catchment& c);
// The unit duration of card C is in minutes; the hydrology works in hours.
double UnitDurationHours(const Catchment& c);

// Reads `input` and writes the three outputs. Returns false, writing nothing, when the input
// cannot be opened.
bool RunDeckFile(const std::string& input, const std::string& report, const std::string& drelm,
                 const std::string& peak);

} // namespace tovan::engine
