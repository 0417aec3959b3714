#include "Hydrology.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace tovan::engine {

double Hyetograph::total() const {
    return std::accumulate(depths.begin(), depths.end(), 0.0);
}

namespace {

// Short-duration depths as fractions of the one-hour depth: 5 to 30 minutes from NOAA Atlas 2
// (Miller, Frederick and Tracey, 1973); the two-hour ratio is this engine's assumption.
struct RatioPoint {
    double minutes;
    double ratio;
};
constexpr std::array<RatioPoint, 6> kRatios{
    {{5, 0.29}, {10, 0.45}, {15, 0.57}, {30, 0.79}, {60, 1.00}, {120, 1.25}}};

double LogLogInterpolate(const RatioPoint& a, const RatioPoint& b, double minutes) {
    const double exponent = std::log(b.ratio / a.ratio) / std::log(b.minutes / a.minutes);
    return a.ratio * std::pow(minutes / a.minutes, exponent);
}

} // namespace

double DepthDurationRatio(double minutes) {
    if (minutes <= 0.0) return 0.0;
    if (minutes >= kRatios.back().minutes) return kRatios.back().ratio;
    if (minutes < kRatios[1].minutes) return LogLogInterpolate(kRatios[0], kRatios[1], minutes);
    std::size_t i = 1;
    while (kRatios[i + 1].minutes < minutes)
        ++i;
    return LogLogInterpolate(kRatios[i], kRatios[i + 1], minutes);
}

namespace {

// Block positions from the middle outwards, alternating right and left.
std::vector<std::size_t> AlternatingPositions(std::size_t n) {
    std::vector<std::size_t> order;
    const auto middle = static_cast<long>((n - 1) / 2);
    for (long offset = 0; order.size() < n; ++offset) {
        const long right = middle + offset;
        const long left = middle - offset;
        if (right < static_cast<long>(n)) order.push_back(static_cast<std::size_t>(right));
        if (offset > 0 && left >= 0) order.push_back(static_cast<std::size_t>(left));
    }
    return order;
}

} // namespace

namespace {

// The design storm of a one-inch hour: every storm of a run with the same step is this one
// scaled, so it is built once per step length.
std::vector<double> UnitDesignStorm(double dtHours) {
    const double stepMinutes = dtHours * 60.0;
    const auto n = static_cast<std::size_t>(
        std::max(1.0, std::ceil(kDesignStormMinutes / stepMinutes - 1e-9)));
    std::vector<double> blocks(n);
    for (std::size_t j = 0; j < n; ++j) {
        const double upper = DepthDurationRatio(static_cast<double>(j + 1) * stepMinutes);
        const double lower = DepthDurationRatio(static_cast<double>(j) * stepMinutes);
        blocks[j] = std::max(0.0, upper - lower);
    }
    std::sort(blocks.begin(), blocks.end(), std::greater<>());
    std::vector<double> depths(n, 0.0);
    const std::vector<std::size_t> positions = AlternatingPositions(n);
    for (std::size_t j = 0; j < n; ++j)
        depths[positions[j]] = blocks[j];
    return depths;
}

// The design storm of one inch at the steps used last: a run asks for the same few steps, its
// catchments' unit durations and their halvings, over and over.
const std::vector<double>& UnitDesignStormAt(double dtHours) {
    constexpr std::size_t kStepsKept = 8;
    thread_local std::vector<std::pair<double, std::vector<double>>> kept;
    thread_local std::size_t oldest = 0;
    for (const auto& [step, unit] : kept) {
        if (step == dtHours) return unit;
    }
    if (kept.size() < kStepsKept) {
        kept.emplace_back(dtHours, UnitDesignStorm(dtHours));
        return kept.back().second;
    }
    auto& replaced = kept[oldest];
    oldest = (oldest + 1) % kStepsKept;
    replaced = {dtHours, UnitDesignStorm(dtHours)};
    return replaced.second;
}

} // namespace

Hyetograph DesignStorm(double oneHourDepth, double dtHours) {
    const std::vector<double>& unit = UnitDesignStormAt(dtHours);
    Hyetograph storm;
    storm.dt = dtHours;
    storm.depths.resize(unit.size());
    for (std::size_t i = 0; i < unit.size(); ++i)
        storm.depths[i] = oneHourDepth * unit[i];
    return storm;
}

namespace {

// 1 - e^-x without the loss of every digit when x is tiny (a decay of 1D-20 per second): with
// 1 - exp(-x) the capacity would fall to the final rate at once.
double OneMinusExp(double x) {
    return -std::expm1(-x);
}

// Below this k t the decay is computed from expm1; above it the product of the steps' decays,
// which needs no exponential per step, is exact enough.
constexpr double kSlowDecay = 1e-3;

} // namespace

double HortonCapacity(double f0, double fc, double decayPerSecond, double t1, double t2) {
    const double k = decayPerSecond * 3600.0; // per hour
    double capacity = 0.0;
    if (k <= 0.0) {
        capacity = f0 * (t2 - t1);
    } else {
        capacity = fc * (t2 - t1) + (f0 - fc) / k * std::exp(-k * t1) * OneMinusExp(k * (t2 - t1));
    }
    return std::max(0.0, capacity);
}

HortonSoil::HortonSoil(double f0, double fc, double decayPerSecond)
    : f0_(std::max(0.0, f0)), fc_(std::max(0.0, fc)), k_(std::max(0.0, decayPerSecond) * 3600.0) {}

double HortonSoil::cumulativeAt(double t) const {
    if (k_ <= 0.0) return f0_ * t;
    return fc_ * t + (f0_ - fc_) / k_ * OneMinusExp(k_ * t);
}

double HortonSoil::rateAt(double t) const {
    if (k_ <= 0.0) return f0_;
    return fc_ + (f0_ - fc_) * std::exp(-k_ * t);
}

void HortonSoil::stepLength(double dt) const {
    if (dt == dt_) return;
    dt_ = dt;
    stepDecay_ = std::exp(-k_ * dt);
}

double HortonSoil::capacity(double dt) const {
    if (k_ <= 0.0) return std::max(0.0, f0_ * (time_ + dt) - total_);
    stepLength(dt);
    const double end = time_ + dt;
    const double gone = k_ * end < kSlowDecay ? OneMinusExp(k_ * end) : 1.0 - decayed_ * stepDecay_;
    const double atEnd = fc_ * end + (f0_ - fc_) / k_ * gone;
    return std::max(0.0, atEnd - total_);
}

// The time in [from, to] at which the time form has infiltrated `depth`: Newton's steps kept
// inside the bracket, halving it whenever a step would leave it. Each step needs one
// exponential, for both the depth and the rate.
double HortonSoil::timeFor(double depth, double from, double to) const {
    const double spread = (f0_ - fc_) / k_;
    const auto miss = [&](double t, double& rate) {
        const double decay = std::exp(-k_ * t);
        rate = fc_ + (f0_ - fc_) * decay;
        return fc_ * t + spread * (k_ * t < kSlowDecay ? OneMinusExp(k_ * t) : 1.0 - decay) - depth;
    };
    double rate = 0.0;
    const double startMiss = miss(from, rate);
    // First guess: the rate at the start of the step held over the depth still to go.
    double t = rate > 0.0 ? from - startMiss / rate : from;
    if (!(t > from && t < to)) t = 0.5 * (from + to);
    for (int i = 0; i < 60 && to - from > 1e-12; ++i) {
        const double m = miss(t, rate);
        if (std::abs(m) <= 1e-13) break;
        if (m > 0.0)
            to = t;
        else
            from = t;
        const double next = rate > 0.0 ? t - m / rate : from - 1.0;
        t = next > from && next < to ? next : 0.5 * (from + to);
    }
    return t;
}

void HortonSoil::infiltrate(double depth, double dt) {
    if (depth <= 0.0) return;
    const double full = capacity(dt);
    total_ += depth;
    if (depth >= full) { // the soil took all it could: it moves on by the whole step
        time_ += dt;
        decayed_ *= stepDecay_;
        return;
    }
    if (k_ <= 0.0) { // a constant rate: the equivalent time is the depth over the rate
        time_ = total_ / f0_;
        return;
    }
    time_ = timeFor(total_, time_, time_ + dt);
    decayed_ = std::exp(-k_ * time_);
}

namespace {

constexpr double kRoundOff = 1e-12; // inches

// One depression-storage surface: water above its capacity runs off. A pervious surface also
// infiltrates, from the rain and from what it stores.
struct Surface {
    double capacity = 0.0;
    double stored = 0.0;
    bool pervious = false;
    HortonSoil soil;

    // Adds a step's water, takes infiltration from it first, and returns what spills over.
    double step(double input, double dt, double& infiltrated) {
        double water = stored + input;
        infiltrated = pervious ? std::min(water, soil.capacity(dt)) : 0.0;
        if (pervious) soil.infiltrate(infiltrated, dt);
        water -= infiltrated;
        // Depths that only round-off puts above the capacity (0.1 + 0.1 + 0.1 > 0.3) stay.
        const double spill = water > capacity + kRoundOff ? water - capacity : 0.0;
        stored = water - spill;
        return spill;
    }
};

struct Areas {
    double connected, unconnected, receiving, separate; // fractions of the catchment
};

Areas SplitAreas(const LossParameters& p) {
    const double imp = std::clamp(p.impervious, 0.0, 1.0);
    const double dcif = std::clamp(p.connected, 0.0, 1.0);
    const double rpf = std::clamp(p.receiving, 0.0, 1.0);
    Areas a{imp * dcif, imp * (1.0 - dcif), (1.0 - imp) * rpf, (1.0 - imp) * (1.0 - rpf)};
    if (a.receiving <= 0.0) { // nowhere to spread it: unconnected runoff reaches the outlet
        a.connected += a.unconnected;
        a.unconnected = 0.0;
    }
    return a;
}

struct CatchmentSurfaces {
    Surface connected, unconnected, receiving, separate;
};

LossStep OneStep(CatchmentSurfaces& s, const Areas& a, double rain, double dt) {
    LossStep step;
    step.rain = rain;
    double none = 0.0, infReceiving = 0.0, infSeparate = 0.0;
    const double fromConnected = s.connected.step(rain, dt, none);
    const double fromUnconnected = s.unconnected.step(rain, dt, none);
    const double runOn = a.receiving > 0.0 ? fromUnconnected * a.unconnected / a.receiving : 0.0;
    const double fromReceiving = s.receiving.step(rain + runOn, dt, infReceiving);
    const double fromSeparate = s.separate.step(rain, dt, infSeparate);
    step.infiltration = a.receiving * infReceiving + a.separate * infSeparate;
    step.imperviousExcess = a.connected * fromConnected;
    step.perviousExcess = a.receiving * fromReceiving + a.separate * fromSeparate;
    step.excess = step.imperviousExcess + step.perviousExcess;
    step.stored = a.connected * s.connected.stored + a.unconnected * s.unconnected.stored +
                  a.receiving * s.receiving.stored + a.separate * s.separate.stored;
    return step;
}

void Capture(std::vector<LossStep>& steps, double captureDepth) {
    double room = std::max(0.0, captureDepth);
    for (LossStep& step : steps) {
        step.captured = std::min(room, step.excess);
        step.excess -= step.captured;
        room -= step.captured;
    }
}

} // namespace

std::vector<LossStep> Losses(const Hyetograph& rain, const LossParameters& p) {
    const Areas areas = SplitAreas(p);
    CatchmentSurfaces s;
    s.connected.capacity = s.unconnected.capacity = std::max(0.0, p.dsImpervious);
    s.receiving.capacity = s.separate.capacity = std::max(0.0, p.dsPervious);
    for (Surface* soil : {&s.receiving, &s.separate}) {
        soil->pervious = true;
        soil->soil = HortonSoil(p.f0, p.fc, p.decay);
    }
    std::vector<LossStep> steps;
    steps.reserve(rain.depths.size());
    for (const double depth : rain.depths)
        steps.push_back(OneStep(s, areas, std::max(0.0, depth), rain.dt));
    Capture(steps, p.captureDepth);
    return steps;
}

std::vector<double> ExcessOf(const std::vector<LossStep>& steps) {
    std::vector<double> excess(steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i)
        excess[i] = steps[i].excess;
    return excess;
}

double DefaultCt(double impervious) {
    return 0.16 - 0.08 * std::clamp(impervious, 0.0, 1.0);
}

double PolylineArea(const std::vector<double>& t, const std::vector<double>& q) {
    double area = 0.0;
    for (std::size_t i = 1; i < t.size(); ++i)
        area += 0.5 * (q[i] + q[i - 1]) * (t[i] - t[i - 1]);
    return area;
}

double PolylineIntegral(const std::vector<double>& t, const std::vector<double>& q, double x) {
    double area = 0.0;
    for (std::size_t i = 1; i < t.size() && t[i - 1] < x; ++i) {
        const double end = std::min(x, t[i]);
        const double span = t[i] - t[i - 1];
        const double qEnd =
            span > 0.0 ? q[i - 1] + (q[i] - q[i - 1]) * (end - t[i - 1]) / span : q[i];
        area += 0.5 * (q[i - 1] + qEnd) * (end - t[i - 1]);
    }
    return area;
}

double PolylineAt(const std::vector<double>& t, const std::vector<double>& q, double x) {
    if (t.empty() || x <= t.front() || x >= t.back()) return 0.0;
    const auto upper = std::upper_bound(t.begin(), t.end(), x);
    const auto i = static_cast<std::size_t>(upper - t.begin());
    const double span = t[i] - t[i - 1];
    if (span <= 0.0) return q[i];
    return q[i - 1] + (q[i] - q[i - 1]) * (x - t[i - 1]) / span;
}

std::vector<double> Convolve(const std::vector<double>& excess, const std::vector<double>& uh) {
    if (excess.empty() || uh.empty()) return {};
    std::vector<double> q(excess.size() + uh.size() - 1, 0.0);
    for (std::size_t m = 0; m < excess.size(); ++m) {
        const double p = excess[m];
        if (p == 0.0) continue;
        double* out = q.data() + m;
        for (std::size_t k = 0; k < uh.size(); ++k)
            out[k] += p * uh[k];
    }
    return q;
}

// A flat peak's ordinates differ in their last digits only, by the order the products were
// added in; its time is the first ordinate within this fraction of the largest, so that it
// does not hop along the plateau with round-off.
constexpr double kPlateauTolerance = 1e-9;

Peak PeakOf(const std::vector<double>& flows, double dt) {
    const auto largest = std::max_element(flows.begin(), flows.end());
    if (largest == flows.end() || !(*largest > 0.0)) return {};
    const double plateau = *largest * (1.0 - kPlateauTolerance);
    const auto first = std::find_if(flows.begin(), largest + 1,
                                    [plateau](double flow) { return flow >= plateau; });
    return {*largest, static_cast<double>(first - flows.begin()) * dt};
}

double VolumeInches(const std::vector<double>& flows, double dt, double area) {
    const double cfsHours = std::accumulate(flows.begin(), flows.end(), 0.0) * dt;
    return area > 0.0 ? cfsHours / (kCfsHoursPerInchSquareMile * area) : 0.0;
}

double InchesToAcreFeet(double inches, double area) {
    return inches / 12.0 * area * kAcresPerSquareMile;
}

namespace {

// Cumulative rainfall at t hours, linear within each step.
double CumulativeAt(const Hyetograph& rain, const std::vector<double>& cumulative, double t) {
    if (t <= 0.0) return 0.0;
    const double steps = t / rain.dt;
    const auto i = static_cast<std::size_t>(steps);
    if (i >= rain.depths.size()) return cumulative.back();
    return cumulative[i] + rain.depths[i] * (steps - static_cast<double>(i));
}

} // namespace

double MaxAverageIntensity(const Hyetograph& rain, double hours) {
    if (rain.depths.empty() || rain.dt <= 0.0 || hours <= 0.0) return 0.0;
    std::vector<double> cumulative(rain.depths.size() + 1, 0.0);
    std::partial_sum(rain.depths.begin(), rain.depths.end(), cumulative.begin() + 1);
    double best = 0.0;
    // The window's best place has one of its ends on a step boundary.
    for (std::size_t k = 0; k <= rain.depths.size(); ++k) {
        const double boundary = static_cast<double>(k) * rain.dt;
        for (const double start : {boundary, boundary - hours}) {
            const double depth = CumulativeAt(rain, cumulative, start + hours) -
                                 CumulativeAt(rain, cumulative, start);
            best = std::max(best, depth);
        }
    }
    return best / hours;
}

double RunoffCoefficient(double impervious) {
    return 0.14 + 0.65 * std::clamp(impervious, 0.0, 1.0);
}

double KirpichMinutes(double lengthMiles, double slope) {
    if (lengthMiles <= 0.0 || slope <= 0.0) return 0.0;
    return 0.0078 * std::pow(lengthMiles * 5280.0, 0.77) * std::pow(slope, -0.385);
}

double RationalPeak(double c, double intensity, double areaSquareMiles) {
    return c * intensity * areaSquareMiles * kAcresPerSquareMile;
}

} // namespace tovan::engine
