#include "Engine.h"

#include "Outputs.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace tovan::engine {

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

double Fraction(const std::optional<double>& value, double fallback, const char* name,
                std::vector<std::string>& notes) {
    if (!value) return fallback;
    if (*value >= 0.0 && *value <= 1.0) return *value;
    notes.push_back(std::string(name) + " is outside 0 to 1 and is not used");
    return fallback;
}

} // namespace

LossParameters LossParametersOf(const Catchment& c, int& level, std::vector<std::string>& notes) {
    LossParameters p;
    p.impervious = std::clamp(c.impervious.value_or(0.0) / 100.0, 0.0, 1.0);
    p.dsPervious = c.dsPervious.value_or(0.0);
    p.dsImpervious = c.dsImpervious.value_or(0.0);
    p.f0 = c.f0.value_or(0.0);
    p.decay = c.decay.value_or(0.0);
    p.fc = c.fc.value_or(0.0);
    level = c.dciaLevel.value_or(0);
    if (level < 0 || level > 3) {
        notes.push_back("DCIA level " + std::to_string(level) + " is not 0 to 3; level 0 is used");
        level = 0;
    }
    const auto defaults = kDciaLevels[static_cast<std::size_t>(level)];
    p.connected =
        Fraction(c.connectedFraction, defaults.connected, "The connected fraction", notes);
    p.receiving =
        Fraction(c.receivingFraction, defaults.receiving, "The receiving fraction", notes);
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
    in.impervious = std::clamp(c.impervious.value_or(0.0) / 100.0, 0.0, 1.0);
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
    return DesignStorm(storm.oneHourDepth, dt);
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

StormResult ComputeStorm(const EngineDeck& deck, const Catchment& c, const CatchmentResult& cr,
                         int number) {
    StormResult s;
    s.storm = number;
    s.source = deck.findStorm(number);
    if (s.source == nullptr) {
        s.problem = "storm " + std::to_string(number) + " is not in the deck";
        return s;
    }
    std::optional<Hyetograph> rain = RainOf(*s.source, UnitDurationHours(c), s.problem);
    if (!rain) return s;
    s.rain = std::move(*rain);
    s.losses = WithFactors(cr.losses, *s.source, c, s.factorsApplied);
    s.steps = Losses(s.rain, s.losses);
    const std::vector<double> excess = ExcessOf(s.steps);
    for (const LossStep& step : s.steps) {
        s.excessInches += step.excess;
        s.capturedInches += step.captured;
    }
    s.flows = Convolve(excess, cr.uh.ordinates);
    s.peak = PeakOf(s.flows, s.rain.dt);
    s.volumeInches = VolumeInches(s.flows, s.rain.dt, c.area.value_or(0.0));
    if (c.rationalOption == 1) s.rational = Rational(c, s.rain, s.losses.impervious);
    return s;
}

std::string StormRangeProblem(const Catchment& c) {
    if (c.firstStorm <= 0 || c.lastStorm <= 0) return "its first or last storm number is missing";
    if (c.firstStorm > c.lastStorm) return "its first storm number is after its last";
    return {};
}

} // namespace

CatchmentResult ComputeCatchment(const EngineDeck& deck, const Catchment& c) {
    CatchmentResult r;
    r.catchment = &c;
    bool known = true;
    r.content = ContentOf(c.printOption, known);
    if (!known)
        r.notes.push_back("print option " + std::to_string(c.printOption) +
                          " is unknown; option 0 is used");
    r.problem = c.problem.empty() ? StormRangeProblem(c) : c.problem;
    if (!r.problem.empty()) return r;
    r.losses = LossParametersOf(c, r.dciaLevel, r.notes);
    r.drainTimeHours = c.drainTime.value_or(0.0) > 0.0 ? *c.drainTime : kDefaultDrainHours;
    UnitHydrographResult uh = SnyderUnitHydrograph(UnitHydrographInputOf(c));
    if (!uh.hydrograph) {
        r.problem = uh.problem;
        return r;
    }
    r.uh = std::move(*uh.hydrograph);
    if (r.uh.peakScaled)
        r.notes.push_back("the unit hydrograph's widths held more than one inch; its flows were "
                          "lowered to hold exactly one");
    for (int s = c.firstStorm; s <= c.lastStorm; ++s)
        r.storms.push_back(ComputeStorm(deck, c, r, s));
    return r;
}

bool RunDeckFile(const std::string& input, const std::string& report, const std::string& drelm,
                 const std::string& peak) {
    std::ifstream in(input, std::ios::binary);
    if (!in) return false;
    const EngineDeck deck = ParseDeck(in);
    Outputs out(report, drelm, peak);
    out.header(input, deck);
    for (const Catchment& c : deck.catchments)
        out.catchment(ComputeCatchment(deck, c));
    out.finish();
    return true;
}

} // namespace tovan::engine
