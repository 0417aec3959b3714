// The engine's run over a whole deck: every catchment with every storm it asks for, and the
// output files.
#pragma once

#include "EngineDeck.h"
#include "Hydrology.h"
#include "InputChecks.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tovan::engine {

// The longest rainfall and storm hydrograph the engine computes, in steps; a storm that would
// be longer is reported, not computed, so that a run's time and memory stay bounded.
inline constexpr std::size_t kMaxRainfallSteps = 20000;
inline constexpr std::size_t kMaxStormHydrographOrdinates = 30000;
// The most products of rainfall steps and unit-hydrograph ordinates one storm may take, so that
// even 99 storms of a catchment are computed in a few seconds.
inline constexpr double kMaxConvolutionProducts = 2e7;

struct RationalResult {
    double c = 0.0;
    double tcMinutes = 0.0;
    bool tcFromKirpich = false;
    double intensity = 0.0; // in/hr
    double peak = 0.0;      // cfs
};

// Where a storm's rain went, in inches over the catchment: rain = infiltration + stored +
// captured + excess.
struct LossTotals {
    double rain = 0.0, infiltration = 0.0, stored = 0.0, captured = 0.0, excess = 0.0;
};

struct StormResult {
    int storm = 0;
    std::vector<Message> messages; // a problem among them: the storm is not computed
    const Storm* source = nullptr;
    bool factorsApplied = false;
    LossParameters losses; // after the correction factors
    Hyetograph rain;
    std::vector<LossStep> steps;
    std::vector<double> flows; // cfs at 0, dt, 2dt, ...
    Peak peak;
    LossTotals totals;
    double volumeInches = 0.0;
    std::optional<RationalResult> rational;
    std::optional<double> halfStepPeak; // the peak at half the unit duration, when estimated

    bool computed() const;
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
    std::vector<Message> messages; // a problem among them: nothing of it is computed
    PrintContent content;
    LossParameters losses; // before the correction factors
    int dciaLevel = 0;
    double drainTimeHours = 0.0;
    UnitHydrograph uh;
    std::vector<StormResult> storms;

    bool computed() const;
};

CatchmentResult ComputeCatchment(const EngineDeck& deck, const Catchment& c);

// Parameters of the loss model from card D (and D1 for the capture volume).
LossParameters LossParametersOf(const Catchment& c, int& level);
// The storm's correction factors applied, unless the catchment cancels them.
LossParameters WithFactors(LossParameters p, const Storm& storm, const Catchment& c, bool& applied);
UnitHydrographInput UnitHydrographInputOf(const Catchment& c);
// The unit duration of card C is in minutes; the hydrology works in hours.
double UnitDurationHours(const Catchment& c);

// How a run ended.
enum class RunStatus {
    Done,         // every output written in full
    NoInput,      // the input deck cannot be opened; nothing was written
    OutputFailed, // an output could not be written; none is left behind
};

struct RunResult {
    RunStatus status = RunStatus::Done;
    std::string message; // why, when not done
};

// The names of a run's files. An empty results name writes no results file.
struct RunFiles {
    std::string input, report, drelm, peak, results;
};

// `<report base>.results.json`: the report's name without its extension (run.tvo gives
// run.results.json, run gives run.results.json).
std::string ResultsFileName(const std::string& report);

// Told after each catchment: how many are done, of how many.
using ProgressFunction = std::function<void(std::size_t done, std::size_t total)>;

// Reads the input deck and writes the outputs, each completely or not at all.
RunResult RunDeck(const RunFiles& files, const ProgressFunction& progress = {});

// The same without a results file. Returns false, writing nothing, when the input cannot be
// opened.
bool RunDeckFile(const std::string& input, const std::string& report, const std::string& drelm,
                 const std::string& peak);

} // namespace tovan::engine
