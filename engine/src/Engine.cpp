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

// The unit hydrographs of a catchment at its unit duration halved again and again, made when
// first asked for: the step-effect estimate of every storm of the catchment shares them.
class FinerUnitHydrographs {
  public:
    explicit FinerUnitHydrographs(const UnitHydrographInput& in) : in_(in) {}
    // At the unit duration divided by 2^halvings (1 or more); nullptr when there is none.
    const UnitHydrograph* at(int halvings) {
        while (static_cast<int>(made_.size()) < halvings) {
            UnitHydrographInput finer = in_;
            finer.dt = in_.dt / std::ldexp(1.0, static_cast<int>(made_.size()) + 1);
            made_.push_back(SnyderUnitHydrograph(finer).hydrograph);
        }
        const auto& uh = made_[static_cast<std::size_t>(halvings - 1)];
        return uh ? &*uh : nullptr;
    }

  private:
    UnitHydrographInput in_;
    std::vector<std::optional<UnitHydrograph>> made_;
};

// A peak moves by more than this fraction when the unit duration is halved: a NOTE says so.
constexpr double kStepEffectLimit = 0.02;
// The search for a unit duration that keeps its peak goes down to this, the shortest a card holds.
constexpr double kShortestUnitMinutes = 0.1;

// The flows worth looking at again at a finer step: the humps of the storm hydrograph within
// this fraction of its peak. A step effect of up to 25 % cannot lift a lower hump above them.
constexpr double kHumpsLookedAt = 0.8;
constexpr std::size_t kMostHumps = 16;

// The indexes of those humps, in order; of many, the highest.
std::vector<std::size_t> HumpsNearThePeak(const std::vector<double>& flows, double peak) {
    std::vector<std::size_t> humps;
    for (std::size_t i = 0; i < flows.size(); ++i) {
        const bool rises = i == 0 || flows[i] > flows[i - 1];
        const bool falls = i + 1 == flows.size() || flows[i] >= flows[i + 1];
        if (rises && falls && flows[i] >= kHumpsLookedAt * peak) humps.push_back(i);
    }
    if (humps.size() > kMostHumps) {
        const auto higher = [&](std::size_t a, std::size_t b) { return flows[a] > flows[b]; };
        std::nth_element(humps.begin(), humps.begin() + kMostHumps, humps.end(), higher);
        humps.resize(kMostHumps);
        std::sort(humps.begin(), humps.end());
    }
    return humps;
}

// The largest flow of the convolution of `excess` with `uh` at the indexes within `reach` of
// each centre. The rest of the hydrograph is never made.
double LargestFlowNear(const std::vector<double>& excess, const std::vector<double>& uh,
                       const std::vector<std::size_t>& centres, std::size_t reach) {
    if (excess.empty() || uh.empty()) return 0.0;
    const std::size_t length = excess.size() + uh.size() - 1;
    double largest = 0.0;
    const auto flowAt = [&](std::size_t i) {
        const std::size_t first = i + 1 > uh.size() ? i + 1 - uh.size() : 0;
        const std::size_t last = std::min(i, excess.size() - 1);
        double q = 0.0;
        for (std::size_t m = first; m <= last; ++m)
            q += excess[m] * uh[i - m];
        return q;
    };
    for (const std::size_t centre : centres) {
        const std::size_t from = centre > reach ? centre - reach : 0;
        for (std::size_t i = from; i < length && i <= centre + reach; ++i)
            largest = std::max(largest, flowAt(i));
    }
    return largest;
}

// The storm's peak with its unit duration divided by 2^halvings: the same rain, each step's
// depth spread evenly over its parts (a design storm is built at the finer step), through the
// same losses. Only the flows near the humps of the storm hydrograph are computed: a finer step
// moves a peak by about a step. Nothing when the finer computation would be larger than this
// engine computes.
std::optional<double> PeakAtFinerStep(const StormResult& s, FinerUnitHydrographs& finer,
                                      int halvings) {
    const UnitHydrograph* uh = finer.at(halvings);
    if (uh == nullptr) return std::nullopt;
    const auto parts = static_cast<std::size_t>(std::ldexp(1.0, halvings));
    const double dt = s.rain.dt / static_cast<double>(parts);
    Hyetograph rain{dt, {}};
    if (s.source->designStorm) {
        std::string problem;
        std::optional<Hyetograph> built = RainOf(*s.source, dt, problem);
        if (!built) return std::nullopt;
        rain = std::move(*built);
    } else {
        rain.depths.reserve(s.rain.depths.size() * parts);
        for (const double depth : s.rain.depths)
            rain.depths.insert(rain.depths.end(), parts, depth / static_cast<double>(parts));
    }
    std::vector<std::size_t> centres;
    for (const std::size_t hump : HumpsNearThePeak(s.flows, s.peak.flow))
        centres.push_back(hump * parts);
    const std::size_t reach = 2 * parts + 4;
    const double products = static_cast<double>(uh->ordinates.size()) *
                            static_cast<double>(centres.size() * (2 * reach + 1));
    if (centres.empty() || products > kMaxConvolutionProducts) return std::nullopt;
    // The flows looked at take no rain after the last of them: its losses are never needed.
    if (rain.depths.size() > centres.back() + reach + 1)
        rain.depths.resize(centres.back() + reach + 1);
    return LargestFlowNear(ExcessOf(Losses(rain, s.losses)), uh->ordinates, centres, reach);
}

// What halving the unit duration does to a storm's peak: the peak at half the step over the
// peak at the step, less 1.
std::optional<double> StepEffect(const StormResult& s) {
    if (!s.halfStepPeak || !(s.peak.flow > 0.0)) return std::nullopt;
    return *s.halfStepPeak / s.peak.flow - 1.0;
}

// The longest of the catchment's halved unit durations whose own halving moves the peak of
// `storm` by 2 % at most, as the advice of the step-effect notes.
std::string UnitDurationThatHolds(const StormResult& storm, const Catchment& c,
                                  FinerUnitHydrographs& finer) {
    double previous = *storm.halfStepPeak;
    for (int k = 1; c.unitDuration / std::ldexp(1.0, k) >= kShortestUnitMinutes - 1e-9; ++k) {
        const std::optional<double> next = PeakAtFinerStep(storm, finer, k + 1);
        if (!next) return "finer steps would take more than this engine computes for one storm";
        if (std::abs(*next / previous - 1.0) <= kStepEffectLimit) {
            return Format("a unit duration of %.4g min or less keeps the peak of storm %d, "
                          "which the step moves most, within 2 %%",
                          c.unitDuration / std::ldexp(1.0, k), storm.storm);
        }
        previous = *next;
    }
    return Format("no unit duration down to %.1f min keeps the peak of storm %d, which the step "
                  "moves most, within 2 %%",
                  kShortestUnitMinutes, storm.storm);
}

// Halving the unit duration should leave a peak where it is; where it moves one by more than
// 2 %, the step is part of the answer. Each such storm gets a NOTE with its estimate; the advice,
// the same in each, is worked out on the storm the step moves most: a unit duration fine enough
// for it is, as a rule, fine enough for the others.
void StepEffectNotes(CatchmentResult& r, const Catchment& c, FinerUnitHydrographs& finer) {
    const StormResult* worst = nullptr;
    for (const StormResult& s : r.storms) {
        const std::optional<double> effect = StepEffect(s);
        if (!effect || std::abs(*effect) <= kStepEffectLimit) continue;
        if (!worst || std::abs(*effect) > std::abs(*StepEffect(*worst))) worst = &s;
    }
    if (!worst) return;
    const std::string advice = UnitDurationThatHolds(*worst, c, finer);
    for (StormResult& s : r.storms) {
        const std::optional<double> effect = StepEffect(s);
        if (!effect || std::abs(*effect) <= kStepEffectLimit) continue;
        s.messages.push_back(
            {false,
             Format("the unit duration of %.4g min moves the peak: at %.4g min it is %.1f %% %s "
                    "(%.2f against %.2f cfs); ",
                    c.unitDuration, c.unitDuration / 2.0, 100.0 * std::abs(*effect),
                    *effect > 0.0 ? "higher" : "lower", *s.halfStepPeak, s.peak.flow) +
                 advice,
             s.source->line, s.storm});
    }
}

StormResult ComputeStorm(const EngineDeck& deck, const Catchment& c, const CatchmentResult& cr,
                         int number, FinerUnitHydrographs& finer) {
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
    s.halfStepPeak = PeakAtFinerStep(s, finer, 1);
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
    FinerUnitHydrographs finer(in);
    for (int s = c.firstStorm; s <= c.lastStorm; ++s)
        r.storms.push_back(ComputeStorm(deck, c, r, s, finer));
    StepEffectNotes(r, c, finer);
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
