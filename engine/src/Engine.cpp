#include "Engine.h"

#include "Outputs.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <optional>

namespace tovan::engine {

namespace {

bool HasProblem(const std::vector<Message>& messages) {
    return std::any_of(messages.begin(), messages.end(),
                       [](const Message& m) { return m.problem; });
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

} // namespace

bool StormResult::computed() const {
    return !HasProblem(messages);
}

bool CatchmentResult::computed() const {
    return !HasProblem(messages);
}

PrintContent ContentOf(int printOption, bool& known) {
    known = true;
    switch (printOption) {
    case 0:
        return {true, false, true, false};
    case 1:
        return {true, true, true, false};
    case 2:
        return {false, false, false, false};
    case 3:
        return {false, false, false, true};
    case 7:
        return {true, false, true, true};
    case 8:
        return {true, true, true, true};
    case 9:
        return {false, false, false, true};
    default:
        known = false;
        return {true, false, true, false};
    }
}

namespace {

// Directly connected and receiving fractions of the minimized-DCIA levels: this engine's
// assumptions (docs/engine.md), from conventional (0) to strongly disconnected (2 and 3).
struct DciaLevel {
    double connected;
    double receiving;
};
constexpr std::array<DciaLevel, 4> kDciaLevels{
    {{1.0, 0.0}, {0.70, 0.30}, {0.40, 0.60}, {0.40, 0.60}}};
constexpr double kDefaultDrainHours = 40.0;

// The rational formula's option texts: option 1 for catchments of 5 to 90 acres, option 0 for
// larger ones.
constexpr double kRationalSmallestAcres = 5.0;
constexpr double kRationalLargestAcres = 90.0;

// The ordinates of a unit hydrograph follow its shape when their peak is within this fraction
// of the shape's.
constexpr double kUnderSampledPeak = 0.9;

} // namespace

LossParameters LossParametersOf(const Catchment& c, int& level) {
    LossParameters p;
    p.impervious = c.impervious.value_or(0.0) / 100.0;
    p.dsPervious = c.dsPervious.value_or(0.0);
    p.dsImpervious = c.dsImpervious.value_or(0.0);
    p.f0 = c.f0.value_or(0.0);
    p.decay = c.decay.value_or(0.0);
    p.fc = c.fc.value_or(0.0);
    level = std::clamp(c.dciaLevel.value_or(0), 0, 3); // beyond 3: a problem, never computed
    const auto defaults = kDciaLevels[static_cast<std::size_t>(level)];
    p.connected = c.connectedFraction.value_or(defaults.connected);
    p.receiving = c.receivingFraction.value_or(defaults.receiving);
    if (level == 3) p.captureDepth = std::max(0.0, c.wqcv.value_or(0.0));
    return p;
}

namespace {

double Factor(const std::optional<double>& f) {
    return f && *f >= 0.0 ? *f : 1.0;
}

} // namespace

LossParameters WithFactors(LossParameters p, const Storm& storm, const Catchment& c,
                           bool& applied) {
    applied = !(c.cancelFactors && *c.cancelFactors != 0.0);
    if (!applied) return p;
    p.f0 *= Factor(storm.factors.initialRate);
    p.decay *= Factor(storm.factors.decay);
    p.fc *= Factor(storm.factors.finalRate);
    p.dsPervious *= Factor(storm.factors.depression);
    p.dsImpervious *= Factor(storm.factors.depression);
    return p;
}

double UnitDurationHours(const Catchment& c) {
    return c.unitDuration / 60.0;
}

UnitHydrographInput UnitHydrographInputOf(const Catchment& c) {
    UnitHydrographInput in;
    in.area = c.area.value_or(0.0);
    in.length = c.length.value_or(0.0);
    in.centroid = c.centroid.value_or(0.0);
    in.slope = c.slope.value_or(0.0);
    in.impervious = c.impervious.value_or(0.0) / 100.0;
    in.dt = UnitDurationHours(c);
    if (c.useD1 == 1) {
        in.ct = c.ct;
        in.cp = c.cp;
        in.w50Minutes = c.w50;
        in.w75Minutes = c.w75;
        in.before50 = c.before50;
        in.before75 = c.before75;
    }
    return in;
}

namespace {

std::optional<Hyetograph> RainOf(const Storm& storm, double dt, std::string& problem) {
    if (!storm.designStorm) {
        if (storm.depths.empty()) problem = "it has no rainfall depths";
        return Hyetograph{dt, storm.depths};
    }
    if (storm.oneHourDepth <= 0.0) {
        problem = "it has no one-hour depth";
        return std::nullopt;
    }
    const double steps = std::ceil(kDesignStormMinutes / (dt * 60.0) - 1e-9);
    if (!(steps <= static_cast<double>(kMaxRainfallSteps))) {
        problem = Format("its %.0f-minute design storm would take %.6g steps of %.4g min, more "
                         "than the %zu this engine computes",
                         kDesignStormMinutes, steps, dt * 60.0, kMaxRainfallSteps);
        return std::nullopt;
    }
    return DesignStorm(storm.oneHourDepth, dt);
}

// Option 1 asks for the rational peak with every storm; option 0 with a one-hour storm when
// the time of concentration is given.
bool WantsRationalPeak(const Catchment& c, const Storm& storm) {
    if (c.rationalOption == 1) return true;
    return storm.designStorm && c.tc.value_or(0.0) > 0.0;
}

RationalResult Rational(const Catchment& c, const Hyetograph& rain, double impervious) {
    RationalResult r;
    r.c = RunoffCoefficient(impervious);
    r.tcMinutes = c.tc.value_or(0.0);
    if (r.tcMinutes <= 0.0) {
        r.tcMinutes = KirpichMinutes(c.length.value_or(0.0), c.slope.value_or(0.0));
        r.tcFromKirpich = true;
    }
    r.intensity = MaxAverageIntensity(rain, r.tcMinutes / 60.0);
    r.peak = RationalPeak(r.c, r.intensity, c.area.value_or(0.0));
    return r;
}

LossTotals TotalsOf(const std::vector<LossStep>& steps) {
    LossTotals t;
    for (const LossStep& step : steps) {
        t.rain += step.rain;
        t.infiltration += step.infiltration;
        t.captured += step.captured;
        t.excess += step.excess;
    }
    if (!steps.empty()) t.stored = steps.back().stored;
    return t;
}

void StormProblem(StormResult& s, std::string text, int line) {
    s.messages.push_back({true, std::move(text), line, s.storm});
}

StormResult ComputeStorm(const EngineDeck& deck, const Catchment& c, const CatchmentResult& cr,
                         int number) {
    StormResult s;
    s.storm = number;
    s.source = deck.findStorm(number);
    if (s.source == nullptr) {
        StormProblem(s, "storm " + std::to_string(number) + " is not in the deck", c.line);
        return s;
    }
    if (!s.source->problem.empty()) {
        StormProblem(s, s.source->problem, s.source->line);
        return s;
    }
    std::string problem;
    std::optional<Hyetograph> rain = RainOf(*s.source, UnitDurationHours(c), problem);
    const std::size_t length = rain ? rain->depths.size() + cr.uh.ordinates.size() - 1 : 0;
    const double products = rain ? static_cast<double>(rain->depths.size()) *
                                       static_cast<double>(cr.uh.ordinates.size())
                                 : 0.0;
    if (problem.empty() && length > kMaxStormHydrographOrdinates) {
        problem = Format("its storm hydrograph would have %zu ordinates, more than the %zu this "
                         "engine computes",
                         length, kMaxStormHydrographOrdinates);
    } else if (problem.empty() && products > kMaxConvolutionProducts) {
        problem =
            Format("its %zu rainfall steps against %zu unit-hydrograph ordinates would take "
                   "%.3g products, more than the %.3g this engine computes for one storm",
                   rain->depths.size(), cr.uh.ordinates.size(), products, kMaxConvolutionProducts);
    }
    if (!problem.empty() || !rain) {
        StormProblem(s, problem, s.source->line);
        return s;
    }
    s.rain = std::move(*rain);
    s.losses = WithFactors(cr.losses, *s.source, c, s.factorsApplied);
    s.steps = Losses(s.rain, s.losses);
    s.totals = TotalsOf(s.steps);
    s.flows = Convolve(ExcessOf(s.steps), cr.uh.ordinates);
    s.peak = PeakOf(s.flows, s.rain.dt);
    s.volumeInches = VolumeInches(s.flows, s.rain.dt, c.area.value_or(0.0));
    if (WantsRationalPeak(c, *s.source)) s.rational = Rational(c, s.rain, s.losses.impervious);
    return s;
}

std::string StormRangeProblem(const Catchment& c) {
    if (c.firstStorm <= 0 || c.lastStorm <= 0) return "its first or last storm number is missing";
    if (c.firstStorm > c.lastStorm) return "its first storm number is after its last";
    return {};
}

void Note(CatchmentResult& r, std::string text, int line) {
    r.messages.push_back({false, std::move(text), line, 0});
}

void OptionNotes(const EngineDeck& deck, const Catchment& c, CatchmentResult& r) {
    bool known = true;
    r.content = ContentOf(c.printOption, known);
    if (!known)
        Note(r, Format("print option %d is unknown; option 0 is used", c.printOption), c.line);
    if (c.rationalOption != 0 && c.rationalOption != 1) {
        Note(r,
             Format("rational formula option %d is not 0 or 1; option 0 is used", c.rationalOption),
             c.line);
    }
    if (!c.area || *c.area <= 0.0) return;
    const double acres = *c.area * kAcresPerSquareMile;
    if (c.rationalOption == 1) {
        if (acres < kRationalSmallestAcres || acres > kRationalLargestAcres) {
            Note(r,
                 Format("rational formula option 1 is for catchments of 5 to 90 acres; this one "
                        "has %.1f acres; the rational peak is still computed",
                        acres),
                 c.line);
        }
        if (deck.rainfallOption == 2) {
            Note(r,
                 "rational formula option 1 asks for Record B1 rainfall; the rational peak "
                 "comes from the two-hour design storm",
                 c.line);
        }
    } else if (c.rationalOption == 0 && acres <= kRationalLargestAcres) {
        Note(r,
             Format("rational formula option 0 is for catchments larger than 90 acres; this "
                    "one has %.1f acres (option 1 is for 5 to 90 acres)",
                    acres),
             c.line);
    }
}

// The largest unit duration, among halvings of the given one down to 0.1 min (the shortest a
// card holds), whose ordinates peak within 10 % of their shape: the suggestion of the
// under-sampling note. Nothing when none of them does, so that the note never suggests a
// duration that fails its own test.
std::optional<double> SuggestedUnitMinutes(const UnitHydrographInput& in) {
    UnitHydrographInput finer = in;
    for (int i = 0; i < 10 && finer.dt * 60.0 > 0.1; ++i) {
        finer.dt = std::max(std::floor(finer.dt * 60.0 / 2.0 * 10.0) / 10.0, 0.1) / 60.0;
        const UnitHydrographResult uh = SnyderUnitHydrograph(finer);
        if (!uh.hydrograph) return std::nullopt;
        if (uh.hydrograph->ordinatePeak >= kUnderSampledPeak * uh.hydrograph->peak)
            return finer.dt * 60.0;
    }
    return std::nullopt;
}

// The widths before the peak that the shape could not hold: a rising side longer than the time
// to peak starts at 0, a W50 side shorter than the W75 one is stretched to it. The shape the
// user asked for is then not the one used, which is said.
void ShapeClampNotes(const UnitHydrograph& uh, int line, CatchmentResult& r) {
    const double tp = uh.timeToPeak;
    const double rise75 = uh.before75 * uh.w75, rise50 = uh.before50 * uh.w50;
    if (rise75 > tp + 1e-12 || rise50 > tp + 1e-12)
        Note(r,
             Format("the part of the widths before the peak (W75 %.4g min, W50 %.4g min) is "
                    "longer than the time to peak of %.4g min; the shape starts rising at 0",
                    rise75 * 60.0, rise50 * 60.0, tp * 60.0),
             line);
    else if (rise50 + 1e-12 < rise75)
        Note(r,
             Format("the part of W50 before the peak (%.4g min) is shorter than that of W75 "
                    "(%.4g min); the shape's 50 %% point is moved to its 75 %% point",
                    rise50 * 60.0, rise75 * 60.0),
             line);
}

void UnitHydrographNotes(const Catchment& c, const UnitHydrographInput& in, CatchmentResult& r) {
    const UnitHydrograph& uh = r.uh;
    const int line = c.useD1 == 1 ? c.d1Line : c.line;
    if (uh.peakScaled)
        Note(r,
             "the unit hydrograph's widths held more than one inch; its flows were lowered to "
             "hold exactly one",
             line);
    if (in.w75Minutes && *in.w75Minutes > uh.w50 * 60.0 + 1e-9) {
        Note(r,
             Format("W75 %.6g min is wider than W50 %.6g min; W50 is used for both", *in.w75Minutes,
                    uh.w50 * 60.0),
             line);
    }
    if (uh.ordinatePeak < kUnderSampledPeak * uh.peak) {
        const std::optional<double> suggested = SuggestedUnitMinutes(in);
        const std::string advice =
            suggested
                ? Format("a unit duration of %.4g min or less would follow the shape", *suggested)
                : std::string("no unit duration down to 0.1 min, the shortest a card "
                              "holds, follows it within 10 %");
        // Snyder's adjusted lag is held at half the unit duration at least; the note says so
        // rather than quote the held time as if it were the catchment's.
        const bool held = uh.lag + 0.25 * (in.dt - uh.lag / 5.5) < 0.5 * in.dt;
        const std::string peakTime =
            held ? Format("%.4g min (Snyder's lag of %.4g min is shorter than half the unit "
                          "duration, which is used instead)",
                          uh.timeToPeak * 60.0, uh.lag * 60.0)
                 : Format("%.4g min", uh.timeToPeak * 60.0);
        Note(r,
             Format("the unit duration of %.4g min is long against the time to peak of ",
                    c.unitDuration) +
                 peakTime +
                 Format(": the ordinates used peak at %.2f cfs, %.0f %% below the shape's %.2f "
                        "cfs; ",
                        uh.ordinatePeak, 100.0 * (1.0 - uh.ordinatePeak / uh.peak), uh.peak) +
                 advice,
             c.line);
    }
    ShapeClampNotes(uh, line, r);
}

} // namespace

CatchmentResult ComputeCatchment(const EngineDeck& deck, const Catchment& c) {
    CatchmentResult r;
    r.catchment = &c;
    OptionNotes(deck, c, r);
    std::string problem = c.problem.empty() ? StormRangeProblem(c) : c.problem;
    if (!problem.empty()) {
        r.messages.push_back({true, std::move(problem), c.line, 0});
        return r;
    }
    CheckCatchment(c, r.messages);
    if (!r.computed()) return r;
    r.losses = LossParametersOf(c, r.dciaLevel);
    r.drainTimeHours = c.drainTime.value_or(0.0) > 0.0 ? *c.drainTime : kDefaultDrainHours;
    const UnitHydrographInput in = UnitHydrographInputOf(c);
    UnitHydrographResult uh = SnyderUnitHydrograph(in);
    if (!uh.hydrograph) {
        r.messages.push_back({true, uh.problem, c.dLine, 0});
        return r;
    }
    r.uh = std::move(*uh.hydrograph);
    UnitHydrographNotes(c, in, r);
    for (int s = c.firstStorm; s <= c.lastStorm; ++s)
        r.storms.push_back(ComputeStorm(deck, c, r, s));
    return r;
}

std::string ResultsFileName(const std::string& report) {
    const std::size_t slash = report.find_last_of("/\\");
    const std::size_t dot = report.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? report.substr(0, dot) : report) + ".results.json";
}

RunResult RunDeck(const RunFiles& files, const ProgressFunction& progress) {
    std::ifstream in(files.input, std::ios::binary);
    if (!in) return {RunStatus::NoInput, "The input deck " + files.input + " cannot be opened."};
    EngineDeck deck = ParseDeck(in);
    CheckStorms(deck);
    Outputs out(files);
    out.header(deck);
    for (std::size_t i = 0; i < deck.catchments.size(); ++i) {
        if (out.failed()) break; // the reason is known; computing on would be wasted
        out.catchment(ComputeCatchment(deck, deck.catchments[i]));
        if (progress) progress(i + 1, deck.catchments.size());
    }
    std::string why;
    if (!out.finish(why)) return {RunStatus::OutputFailed, why};
    return {};
}

bool RunDeckFile(const std::string& input, const std::string& report, const std::string& drelm,
                 const std::string& peak) {
    return RunDeck({input, report, drelm, peak, {}}).status != RunStatus::NoInput;
}

} // namespace tovan::engine
